#pragma once
// CEdit: the framework object of an edit control. A class derived from it
// gets the control's messages through its message map and WindowProc once
// it is attached (Create, SubclassWindow or DDX_Control).

#include "platform/controls/common_controls.h"
#include "platform/framework/wnd.h"

class CEdit : public CWnd {
  public:
    // Creates the control as a child of `parent`; registers the control
    // classes first when nobody has.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int GetLineCount();
    int GetFirstVisibleLine();
    void LineScroll(int lines, int chars = 0);
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end);
};
