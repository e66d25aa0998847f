// The program's dialog templates.
#include "res/Resources.h"

#include "res/Resource.h"
#include "res/Version.h"

namespace {

constexpr ControlTemplate kAboutControls[] = {
    {ControlKind::StaticIcon, "Static", IDC_STATIC, "", 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON, 0, 128},
    {ControlKind::Static, "Static", IDC_STATIC, res::version::kVersionLine, 40, 10, 119, 8,
     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | WS_GROUP},
    {ControlKind::Static, "Static", IDC_STATIC, res::version::kLegalCopyright, 40, 25, 119, 8,
     WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP},
    {ControlKind::Button, "Button", 1, "Save", 178, 7, 50, 14,
     WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
};

constexpr ControlTemplate kClockControls[] = {
    {ControlKind::MonthCalendar, "SysMonthCal32", IDC_CALENDAR, "MonthCalendar1", 0, 0, 95, 90,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | MCS_DAYSTATE | MCS_NOTODAY},
};

// The date line above the text: window managers cut or hide a small dialog's title.
constexpr ControlTemplate kTopicControls[] = {
    {ControlKind::Static, "Static", IDC_TOPIC_DATE, "", 5, 2, 79, 8, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX},
    {ControlKind::Edit, "Edit", IDC_TOPIC_TEXT, "", 5, 13, 79, 56,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_CENTER},
    {ControlKind::Button, "Button", 1, "", 5, 41, 50, 14, WS_CHILD | WS_TABSTOP},
};

constexpr ControlTemplate kSearchControls[] = {
    {ControlKind::Edit, "Edit", IDC_SEARCH_TEXT, "", 7, 7, 186, 13,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {ControlKind::ListBox, "ListBox", IDC_SEARCH_LIST, "", 7, 25, 186, 118,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_ABOUT, "OmbrelClockのﾊﾞｰｼﾞｮﾝ情報", 0, 0, 235, 55,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, res::kDialogFont, res::kDialogFontPoints, kAboutControls},
    {IDD_CLOCK, "OmbrelClock", 0, 0, 95, 89,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, WS_EX_APPWINDOW, res::kDialogFont, res::kDialogFontPoints,
     kClockControls},
    {IDD_TOPIC, "TopicDialog", 0, 0, 91, 74, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
     WS_EX_TOOLWINDOW, res::kDialogFont, res::kDialogFontPoints, kTopicControls},
    {IDD_SEARCH, "トピックの検索", 0, 0, 200, 150, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
     res::kDialogFont, res::kDialogFontPoints, kSearchControls},
};

} // namespace

std::span<const DialogTemplate> res::DialogTemplates()
{
    return kTemplates;
}
