// The handful of window-system types and constants the program code is written against.
// Plain C++: the framework layer maps them onto Qt, the core uses them as data.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using MONTHDAYSTATE = DWORD; // bit d-1 set: day d is drawn bold

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// An icon owned by the framework for the life of the process.
struct IconHandle;
using HICON = const IconHandle*;

struct POINT {
    int x = 0;
    int y = 0;
};

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0; // 1-12
    WORD wDayOfWeek = 0; // 0 = Sunday
    WORD wDay = 0; // 1-31
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

// Header of every control notification.
struct NMHDR {
    void* hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// Window messages the program's tables name.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
// The framework's own: a file the window watches changed on disk (wParam: the watch's ID).
inline constexpr UINT WM_FILECHANGED = 0x8001;
// The framework's own: the local date changed (at midnight, or after a clock change or a resume);
// every dialog gets it.
inline constexpr UINT WM_DAYTURN = 0x8002;

// System commands.
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_CLOSE = 0xF060;

// The framework's help command (the application object routes it).
inline constexpr unsigned ID_HELP = 57670;

// Dialog commands and results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message box styles.
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_ICONWARNING = 0x0030;
inline constexpr UINT MB_ICONINFORMATION = 0x0040;
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_DEFBUTTON1 = 0x0000;
inline constexpr UINT MB_DEFBUTTON2 = 0x0100;

// Menu item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;

// System metrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

// Notification codes of the month calendar and the common one it shares.
inline constexpr UINT NM_RELEASEDCAPTURE = static_cast<UINT>(-16);
inline constexpr UINT MCN_SELCHANGE = static_cast<UINT>(-749);
inline constexpr UINT MCN_GETDAYSTATE = static_cast<UINT>(-747);
inline constexpr UINT MCN_SELECT = static_cast<UINT>(-746);

// This program's own: the calendar asks what a day is, for the tooltip over it (NMDAYTEXT).
inline constexpr UINT MCN_GETDAYTEXT = static_cast<UINT>(-760);

// Notification codes of edit and list box controls (WM_COMMAND, in the high word of wParam).
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT LBN_DBLCLK = 2;
// What a list box answers for "no such item" or "none selected".
inline constexpr int LB_ERR = -1;

// An accelerator table's row: a key (a virtual-key code: 'A'-'Z', '0'-'9', VK_F1-VK_F12) with
// modifiers, and the command it sends.
struct ACCEL {
    BYTE fVirt = 0; // FVIRTKEY and the modifiers
    WORD key = 0;
    WORD cmd = 0;
};
inline constexpr BYTE FVIRTKEY = 0x01;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;
inline constexpr WORD VK_F1 = 0x70;

// GetMonthRange: every month with a day on show, the neighbours' grey days included.
inline constexpr DWORD GMR_DAYSTATE = 1;

struct NMSELCHANGE {
    NMHDR nmhdr;
    SYSTEMTIME stSelStart;
    SYSTEMTIME stSelEnd;
};
using NMSELECT = NMSELCHANGE;

struct NMDAYTEXT {
    NMHDR nmhdr;
    SYSTEMTIME stDay;
    char* pszText = nullptr; // the handler writes UTF-8 here, NUL-terminated; empty: no tooltip
    int cchTextMax = 0; // bytes, the NUL included
};

struct NMDAYSTATE {
    NMHDR nmhdr;
    SYSTEMTIME stStart; // first month wanted; its day is not used
    int cDayState = 0; // how many months, earliest first
    MONTHDAYSTATE* prgDayState = nullptr; // the handler leaves its masks here
};
