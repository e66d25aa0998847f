// CWnd: a window or control as the program code sees it: rectangles, title, icons, the system
// menu, timers, message boxes and message routing. The platform side lives behind WndImpl.
#pragma once

#include <memory>
#include <span>

#include "framework/CmdTarget.h"
#include "core/Rect.h"
#include "core/String.h"

class CMenu;
struct WndImpl;

// How a timer's ticks are spaced.
enum class TimerAlignment {
    Interval, // every `elapse` ms from now
    WallClock, // on every multiple of `elapse` ms of the wall clock (a minute timer ticks as the minute turns)
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Outer rectangle in screen pixels, and the client area's (0, 0, width, height).
    void GetWindowRect(CRect* rect) const;
    void GetClientRect(CRect* rect) const;
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE);
    void SetWindowText(const char* text);
    // The tooltip over the window's own caption: plain UTF-8 text, "\n" between lines; "" for none.
    void SetCaptionTip(const char* text);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    BOOL IsIconic() const;
    // Asks the window manager to keep this window above the others, and to show it on every
    // desktop (workspace); again each time the window is shown. Nothing happens where the
    // window system has no such hints.
    void SetTopmost(bool on);
    void SetOnAllDesktops(bool on);
    // Brings the window forward and gives it the keyboard (restoring it when minimised).
    BOOL SetForegroundWindow();

    // The window's system menu (its own copy, kept across calls; `revert` restores the default).
    CMenu* GetSystemMenu(BOOL revert);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* callback,
                      TimerAlignment alignment = TimerAlignment::Interval);
    // The window's accelerator table, replacing any before: while the window is active, each
    // row's key sends its command, as WM_SYSCOMMAND when the window menu has that command and
    // as WM_COMMAND otherwise. The table must outlive the window.
    void SetAccelerators(std::span<const ACCEL> table);
    // Tells this window (WM_FILECHANGED, wParam = id) soon after the file at `path` changed on
    // disk: written, replaced by a rename, deleted or made again. A burst of changes is one message.
    BOOL WatchFile(UINT_PTR id, const char* path);
    // A modal message box owned by this window; returns IDYES, IDNO, IDOK...
    int MessageBox(const char* text, const char* caption, UINT type);
    // The window that owns this popup, as the platform reports it.
    CWnd* GetParent() const;

    // Routes a message through the message tables, then the default handling.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Framework side: the platform window behind this object (null until created).
    WndImpl* GetImpl() const { return m_impl.get(); }
    void SetImpl(std::unique_ptr<WndImpl> impl);

protected:
    // The default handling of the message being handled right now.
    LRESULT Default();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::unique_ptr<WndImpl> m_impl;
    std::unique_ptr<CMenu> m_systemMenu;
    const MessageArgs* m_current = nullptr;
};

// A window's menu: the program only appends to it.
class CMenu {
public:
    struct Item {
        UINT flags = 0;
        UINT id = 0;
        CString text;
    };
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    // MF_CHECKED or MF_UNCHECKED on the item of this command; the previous state, -1 if none.
    int CheckMenuItem(UINT id, UINT check);
    const std::vector<Item>& Items() const { return m_items; }
    void Reset(std::vector<Item> items) { m_items = std::move(items); }

private:
    std::vector<Item> m_items;
};

// Paints into a window while it handles WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    WPARAM GetSafeHdc() const { return reinterpret_cast<WPARAM>(this); }
    BOOL DrawIcon(int x, int y, HICON icon);

private:
    CWnd* m_wnd;
};

int GetSystemMetrics(int index);
// The work area (screen less panels) of every screen, in screen pixels.
std::vector<CRect> GetScreenWorkAreas();
// A message box owned by the application's main window (or by none).
int AfxMessageBox(const char* text, UINT type);
// Asks where to write a file, offering `suggestedName` (filter: "iCalendar (*.ics)"); the
// chosen path as UTF-8, "" when the user cancelled.
CString AfxGetSaveFileName(const char* title, const char* suggestedName, const char* filter);
