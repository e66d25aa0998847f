// Resource identifiers shared by the program code, the templates and the tests.
#pragma once

inline constexpr unsigned IDM_ABOUT = 0x0010; // system-menu command of the About entry
inline constexpr unsigned IDM_TOPMOST = 0x0020; // system-menu check item: kept above other windows
inline constexpr unsigned IDM_STICKY = 0x0030; // system-menu check item: shown on every desktop
inline constexpr unsigned IDM_WEEKSTART = 0x0040; // system-menu check item: weeks start on Monday
inline constexpr unsigned IDM_NOTIFY = 0x0050; // system-menu check item: today's topic as a notification
inline constexpr unsigned IDM_SEARCH = 0x0060; // system-menu command: the search dialog (also Ctrl+F)
inline constexpr unsigned IDM_EXPORT = 0x0070; // system-menu command: write the topics as iCalendar
inline constexpr unsigned IDD_ABOUT = 100; // About and settings dialog
inline constexpr unsigned IDS_ABOUT_ENTRY = 101; // text of the system-menu entry
inline constexpr unsigned IDD_CLOCK = 102; // clock window
inline constexpr unsigned IDI_CLOCK = 128; // application icon
inline constexpr unsigned IDD_TOPIC = 129; // topic editor
inline constexpr unsigned IDC_CALENDAR = 1000; // month calendar of the clock window
inline constexpr unsigned IDC_TOPIC_TEXT = 1001; // edit control of the topic editor
inline constexpr unsigned IDC_TOPIC_DATE = 1004; // the editor's date line, above its text
inline constexpr unsigned IDS_WEEKSTART_ENTRY = 103; // text of the week-start check item
inline constexpr unsigned IDS_EXPORT_ENTRY = 104; // text of the export entry
inline constexpr unsigned IDS_TOPMOST_ENTRY = 105; // text of the keep-on-top check item
inline constexpr unsigned IDS_STICKY_ENTRY = 106; // text of the all-desktops check item
inline constexpr unsigned IDS_SEARCH_ENTRY = 108; // text of the search entry
inline constexpr unsigned IDD_SEARCH = 130; // topic search
inline constexpr unsigned IDC_SEARCH_TEXT = 1002; // edit control of the search
inline constexpr unsigned IDC_SEARCH_LIST = 1003; // list box of the dates found
inline constexpr unsigned IDS_NOTIFY_ENTRY = 107; // text of the notification check item
