// Message tables: per-class static arrays that route window messages, commands and control
// notifications to member handlers. Lookup walks the class's table, then its base's.
#pragma once

#include "core/WinTypes.h"

class CCmdTarget;

// One message being handled; a handler's result goes into `result`.
struct MessageArgs {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};

using MessageThunk = void (*)(CCmdTarget* target, MessageArgs& args);

struct AFX_MSGMAP_ENTRY {
    UINT message; // 0 ends the table
    UINT code; // notification code (WM_NOTIFY) or 0
    UINT id; // control or command ID, or 0
    MessageThunk thunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Runs the first matching handler of this object's tables; false when none matches.
    bool OnWndMsg(MessageArgs& args);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
};

#define DECLARE_MESSAGE_MAP()                                                                   \
protected:                                                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();                                               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }           \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                             \
    {                                                                                           \
        using ThisClass = theClass;                                                             \
        using TheBaseClass = baseClass;                                                         \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                       \
        {0, 0, 0, nullptr}};                                                                    \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};          \
        return &map;                                                                            \
    }

#define AFX_THUNK(body) [](CCmdTarget* target, MessageArgs& args) {                             \
    [[maybe_unused]] auto* self = static_cast<ThisClass*>(target);                              \
    [[maybe_unused]] auto& a = args;                                                            \
    body;                                                                                       \
}

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, static_cast<UINT>(id), AFX_THUNK(self->memberFxn())},
// A control's notification sent as WM_COMMAND (the code in the high word of wParam).
#define ON_CONTROL(code, id, memberFxn)                                                         \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), AFX_THUNK(self->memberFxn())},
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                          \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id),                                 \
     AFX_THUNK(self->memberFxn(reinterpret_cast<NMHDR*>(a.lParam), &a.result))},
#define ON_WM_SYSCOMMAND()                                                                      \
    {WM_SYSCOMMAND, 0, 0, AFX_THUNK(self->OnSysCommand(static_cast<UINT>(a.wParam), a.lParam))},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AFX_THUNK(self->OnPaint())},
#define ON_WM_QUERYDRAGICON()                                                                   \
    {WM_QUERYDRAGICON, 0, 0, AFX_THUNK(a.result = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, AFX_THUNK(self->OnTimer(static_cast<UINT_PTR>(a.wParam)))},
#define ON_WM_FILECHANGED()                                                                     \
    {WM_FILECHANGED, 0, 0, AFX_THUNK(self->OnFileChanged(static_cast<UINT_PTR>(a.wParam)))},
#define ON_WM_DAYTURN() {WM_DAYTURN, 0, 0, AFX_THUNK(self->OnDayTurn())},
