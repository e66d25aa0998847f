#include "framework/CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

namespace {

bool matches(const AFX_MSGMAP_ENTRY& entry, const MessageArgs& args)
{
    if (entry.message != args.message)
        return false;
    switch (args.message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(args.lParam);
        return header && entry.code == header->code && entry.id == header->idFrom;
    }
    case WM_COMMAND: // a command's code is 0, a control's notification its own
        return entry.id == static_cast<UINT>(args.wParam & 0xFFFF) && entry.code == static_cast<UINT>((args.wParam >> 16) & 0xFFFF);
    default:
        return true;
    }
}

} // namespace

bool CCmdTarget::OnWndMsg(MessageArgs& args)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->message != 0; ++entry) {
            if (matches(*entry, args)) {
                entry->thunk(this, args);
                return true;
            }
        }
    }
    return false;
}
