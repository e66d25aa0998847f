// CClockDialog: the clock window. Folded it is a caption whose title is the clock; Enter
// unfolds the month calendar below it. It owns all of the program's state. Its members are
// spread over the folders by concern; the groups below name the file that defines each.
#pragma once

#include <string>
#include <vector>

#include "core/String.h"
#include "framework/Dialog.h"
#include "framework/MonthCalCtrl.h"
#include "profile/AtomicFile.h"
#include "topics/TopicIndex.h"
#include "topics/TopicMerge.h"

struct ProfileError;

class CClockDialog : public CDialog {
public:
    CClockDialog();

    // --- clock/ClockDialog.cpp: start-up, the clock title, fold and unfold, quitting ---
    // Title and active date from the current time.
    void UpdateClock();
    // Height for bit 0 of the flag word: the caption alone, or the caption and the calendar.
    void ApplyLayout();

    // --- clock/ShowDate.cpp: the program puts a date before the user ---
    // Unfolds the calendar if folded, selects the date (turning the month, telling no handler),
    // makes it the active date so that one click on it opens its editor, and brings the window
    // forward. A date that does not exist changes nothing.
    void ShowDate(int year, int month, int day);

    // --- clock/Placement.cpp: rectangle and flag word from and to the profile ---
    void LoadPlacement();
    void SavePlacement();

    // --- clock/Preferences.cpp: the window menu's check items, each saved at once ---
    void LoadPreferences();
    // True when `command` was a preference's.
    bool TogglePreference(UINT command);
    // Whether the check item of `command` is on.
    bool PreferenceOn(UINT command) const;

    // --- topics/TopicList.cpp: find and store by date, load, follow outside changes ---
    int FindTopic(CString& text, int year, int month, int day);
    // Also remembers the date as changed, for the next save.
    int StoreTopic(const CString& text, int year, int month, int day);
    // Replaces the list with the file's; changes not yet saved are dropped.
    void LoadTopics();

    // --- topics/TopicSaving.cpp: write the changed dates, keep what could not be written ---
    // Writes the dates changed since the last successful save over the file's entries as they
    // are now. False when the file could not be written: the dates stay changed, an emergency
    // copy of them is kept, and (unless quiet) a message box says where.
    bool SaveTopics(bool quiet = false);
    // What to ask before quitting, after one more try at saving; `style` gets the buttons.
    CString QuitQuestion(UINT& style);

    // --- topics/BoldDates.cpp: masks of three months from (year, month); month 0 is December
    // of the year before ---
    void RefreshDayMarks(int year, int month);

    // --- topics/TopicExport.cpp: the window menu's export to an iCalendar file ---
    void ExportTopics();

    // --- topics/TopicCommands.cpp: the window menu's search and export entries, Ctrl+F ---
    // A separator, then the entries (in the window menu's order), and the search key.
    void AddTopicCommands();
    // The search dialog; the date chosen there is shown.
    void SearchTopics();

    // --- topics/TopicEditing.cpp: the click gesture and the editor for one date ---
    void EditTopic(int year, int month, int day);

    // --- topics/CaptionTip.cpp: the day at a glance in the caption's tooltip, and the day turn ---
    // Today's date, era and holiday, the first lines of its topic, and the first topic of the
    // seven days after it.
    CString CaptionTip();
    // With a date whose topic changed: only when the tooltip tells of that date.
    void UpdateCaptionTip(int year = 0, int month = 0, int day = 0);

    // --- topics/DailyReminder.cpp: today's topic as a desktop notification, once a day ---
    // Asks for it when the check item is on, today has a topic and it was not shown yet today.
    void NotifyToday();

    int m_year = 0; // the active date
    int m_month = 0;
    int m_day = 0;
    int m_flags = 0; // bit 0: unfolded; bit 1: a selection change is pending
    CStringArray m_topics;
    CMonthCalCtrl m_calendar;
    HICON m_hIcon = nullptr;

protected:
    // clock/ClockDialog.cpp
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    void OnReleasedCapture(NMHDR* pNotifyStruct, LRESULT* pResult);
    // topics/TopicList.cpp
    void OnFileChanged(UINT_PTR nIDWatch);
    // topics/BoldDates.cpp
    void OnGetDayState(NMHDR* pNotifyStruct, LRESULT* pResult);
    // topics/DayText.cpp
    void OnGetDayText(NMHDR* pNotifyStruct, LRESULT* pResult);
    // topics/CaptionTip.cpp
    void OnDayTurn();
    // topics/TopicEditing.cpp
    void OnSelChange(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnSelect(NMHDR* pNotifyStruct, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    // clock/Preferences.cpp
    struct Preference {
        UINT command; // of its check item
        UINT text; // of the check item
        const char* key; // under SETTING
        bool defaultOn;
        void (CClockDialog::*apply)(bool on); // at start and at every toggle
    };
    static const Preference kPreferences[];
    void SetPreference(const Preference& preference, bool on);
    void ApplyWeekStart(bool mondayFirst);
    unsigned m_preferencesOn = 0; // bit i: row i of the table
    // topics/TopicList.cpp
    void RememberChange(TopicDate date, std::optional<CString> base, const CString& text);
    // The file's entries up to the last entry key present; returns the file's NUMBER.
    int ReadTopics(CStringArray& entries);
    TopicIndex m_topicIndex; // date -> first entry, kept in step with m_topics
    TopicChanges m_topicChanges; // changed since the last successful save
    FileStamp m_topicsFile; // the file the list was last read from or written to
    // topics/TopicSaving.cpp
    CString KeepOutsideChange(const TopicMerge& merge);
    void ReportFailedSave(const ProfileError& error, bool quiet);
    CString m_emergencyCopy; // of the last failed save; empty when even that failed
    // topics/DayText.cpp: the date line (with the ISO week if `week`), holiday and topic lines
    std::string DescribeDay(int year, int month, int day, bool week);
    // topics/DailyReminder.cpp
    void ApplyNotify(bool on);
    CString m_remindedDay; // YYYY-MM-DD asked for in this run, so a day is asked for once
    // topics/BoldDates.cpp
    bool IsMarked(int year, int month, int day);
    std::vector<MONTHDAYSTATE> m_dayStates; // handed to the calendar, which reads it afterwards
};
