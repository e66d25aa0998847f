// CClockDialog: the clock window. Folded it is a caption whose title is the clock; Enter
// unfolds the month calendar below it. It owns all of the program's state. Its members are
// spread over the folders by concern; the groups below name the file that defines each.
#pragma once

#include <vector>

#include "core/String.h"
#include "framework/Dialog.h"
#include "framework/MonthCalCtrl.h"
#include "topics/TopicIndex.h"

class CClockDialog : public CDialog {
public:
    CClockDialog();

    // --- clock/ClockDialog.cpp: start-up, the clock title, fold and unfold, quitting ---
    // Title and active date from the current time.
    void UpdateClock();
    // Height for bit 0 of the flag word: the caption alone, or the caption and the calendar.
    void ApplyLayout();

    // --- clock/Placement.cpp: rectangle and flag word from and to the profile ---
    void LoadPlacement();
    void SavePlacement();

    // --- topics/TopicList.cpp: find and store by date, load and save, follow outside changes ---
    int FindTopic(CString& text, int year, int month, int day);
    int StoreTopic(const CString& text, int year, int month, int day);
    void LoadTopics();
    void SaveTopics();

    // --- topics/BoldDates.cpp: masks of three months from (year, month); month 0 is December
    // of the year before ---
    void RefreshDayMarks(int year, int month);

    // --- topics/TopicEditing.cpp: the click gesture and the editor for one date ---
    void EditTopic(int year, int month, int day);

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
    // topics/TopicEditing.cpp
    void OnSelChange(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnSelect(NMHDR* pNotifyStruct, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    // topics/TopicList.cpp
    TopicIndex m_topicIndex; // date -> first entry, kept in step with m_topics
    bool m_topicsUnsaved = false; // the last save failed: the list holds what the file lacks
    // topics/BoldDates.cpp
    bool IsMarked(int year, int month, int day);
    std::vector<MONTHDAYSTATE> m_dayStates; // handed to the calendar, which reads it afterwards
};
