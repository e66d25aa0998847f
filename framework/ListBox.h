// CListBox: the program's handle on a list box of a dialog: a column of one-line texts, one
// of them selected.
#pragma once

#include "framework/Wnd.h"

class CListBox : public CWnd {
public:
    // Appends a text (UTF-8); its index, or LB_ERR.
    int AddString(const char* text);
    void ResetContent();
    int GetCount() const;
    // The selected item's index, LB_ERR when none is.
    int GetCurSel() const;
    // Selects an item and scrolls it into view (-1: none); LB_ERR for an index past the end.
    int SetCurSel(int index);
    // Off, texts added are kept but not shown until it is on again: a long list then costs one
    // update instead of one an item.
    void SetRedraw(BOOL redraw = TRUE);
};
