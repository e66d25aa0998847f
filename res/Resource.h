// Resource identifiers shared by the program code, the templates and the tests.
#pragma once

inline constexpr unsigned IDM_ABOUT = 0x0010; // system-menu command of the About entry
inline constexpr unsigned IDM_WEEKSTART = 0x0040; // system-menu check item: weeks start on Monday
inline constexpr unsigned IDM_NOTIFY = 0x0050; // system-menu check item: today's topic as a notification
inline constexpr unsigned IDM_EXPORT = 0x0070; // system-menu command: write the topics as iCalendar
inline constexpr unsigned IDD_ABOUT = 100; // About and settings dialog
inline constexpr unsigned IDS_ABOUT_ENTRY = 101; // text of the system-menu entry
inline constexpr unsigned IDD_CLOCK = 102; // clock window
inline constexpr unsigned IDI_CLOCK = 128; // application icon
inline constexpr unsigned IDD_TOPIC = 129; // topic editor
inline constexpr unsigned IDC_CALENDAR = 1000; // month calendar of the clock window
inline constexpr unsigned IDC_TOPIC_TEXT = 1001; // edit control of the topic editor
inline constexpr unsigned IDS_WEEKSTART_ENTRY = 103; // text of the week-start check item
inline constexpr unsigned IDS_EXPORT_ENTRY = 104; // text of the export entry
inline constexpr unsigned IDS_NOTIFY_ENTRY = 107; // text of the notification check item
