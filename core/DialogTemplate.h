// Dialog templates as data: caption, rectangle in dialog units, styles, font and controls.
// The program keeps its templates in res/; the framework builds real windows from them.
#pragma once

#include <cstdint>
#include <span>

using StyleBits = std::uint32_t;

// Window styles.
inline constexpr StyleBits WS_POPUP = 0x80000000;
inline constexpr StyleBits WS_CHILD = 0x40000000;
inline constexpr StyleBits WS_VISIBLE = 0x10000000;
inline constexpr StyleBits WS_CAPTION = 0x00C00000;
inline constexpr StyleBits WS_BORDER = 0x00800000;
inline constexpr StyleBits WS_SYSMENU = 0x00080000;
inline constexpr StyleBits WS_VSCROLL = 0x00200000;
inline constexpr StyleBits WS_GROUP = 0x00020000;
inline constexpr StyleBits WS_TABSTOP = 0x00010000;
inline constexpr StyleBits DS_MODALFRAME = 0x0080;
inline constexpr StyleBits DS_SETFONT = 0x0040;
inline constexpr StyleBits WS_EX_TOOLWINDOW = 0x0080;
inline constexpr StyleBits WS_EX_APPWINDOW = 0x40000;
inline constexpr StyleBits WS_EX_CLIENTEDGE = 0x0200;

// Control styles.
inline constexpr StyleBits ES_CENTER = 0x0001;
inline constexpr StyleBits ES_MULTILINE = 0x0004;
inline constexpr StyleBits ES_AUTOVSCROLL = 0x0040;
inline constexpr StyleBits ES_AUTOHSCROLL = 0x0080;
inline constexpr StyleBits ES_WANTRETURN = 0x1000;
inline constexpr StyleBits BS_DEFPUSHBUTTON = 0x0001;
inline constexpr StyleBits SS_LEFT = 0x0000;
inline constexpr StyleBits SS_CENTER = 0x0001;
inline constexpr StyleBits SS_ICON = 0x0003;
inline constexpr StyleBits SS_NOPREFIX = 0x0080;
inline constexpr StyleBits LBS_NOTIFY = 0x0001; // the list box reports double clicks
inline constexpr StyleBits MCS_DAYSTATE = 0x0001;
inline constexpr StyleBits MCS_NOTODAY = 0x0010;

// The ID of controls the program never addresses.
inline constexpr unsigned IDC_STATIC = static_cast<unsigned>(-1);

enum class ControlKind { Edit, Button, Static, StaticIcon, MonthCalendar, ListBox };

struct ControlTemplate {
    ControlKind kind;
    const char* className; // the window class the template names
    unsigned id;
    const char* text; // for a StaticIcon: unused, see iconId
    int x, y, cx, cy; // dialog units
    StyleBits style;
    StyleBits exStyle = 0;
    unsigned iconId = 0;
};

struct DialogTemplate {
    unsigned id;
    const char* caption;
    int x, y, cx, cy; // dialog units
    StyleBits style;
    StyleBits exStyle;
    const char* fontName;
    int pointSize;
    std::span<const ControlTemplate> controls;
};
