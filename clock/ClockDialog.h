// CClockDialog: the clock window. Folded it is a caption whose title is the clock; Enter
// unfolds the month calendar below it. It owns all of the program's state.
#pragma once

#include <vector>

#include "framework/Dialog.h"
#include "core/String.h"
#include "framework/MonthCalCtrl.h"
#include "topics/TopicIndex.h"

class CClockDialog : public CDialog {
public:
    CClockDialog();

    // Title and active date from the current time.
    void UpdateClock();
    // Height for bit 0 of the flag word: the caption alone, or the caption and the calendar.
    void ApplyLayout();

    // Placement (clock/Placement.cpp): rectangle and flag word from and to the profile.
    void LoadPlacement();
    void SavePlacement();

    // The topic list (topics/TopicList.cpp).
    int FindTopic(CString& text, int year, int month, int day);
    int StoreTopic(const CString& text, int year, int month, int day);
    void LoadTopics();
    void SaveTopics();

    // Bold dates (topics/DayMarks.cpp): masks of three months from (year, month); month 0 is
    // December of the year before.
    void RefreshDayMarks(int year, int month);

    // The topic editor for one date (topics/TopicEditing.cpp).
    void EditTopic(int year, int month, int day);

    int m_year = 0; // the active date
    int m_month = 0;
    int m_day = 0;
    int m_flags = 0; // bit 0: unfolded; bit 1: a selection change is pending
    CStringArray m_topics;
    CMonthCalCtrl m_calendar;
    HICON m_hIcon = nullptr;

private:
    bool IsMarked(int year, int month, int day);
    TopicIndex m_topicIndex; // date -> first entry, kept in step with m_topics
    std::vector<MONTHDAYSTATE> m_dayStates; // handed to the calendar, which reads it afterwards

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    void OnReleasedCapture(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnGetDayState(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnSelChange(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnSelect(NMHDR* pNotifyStruct, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};
