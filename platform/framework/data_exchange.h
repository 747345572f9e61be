#pragma once
// Control binding: DDX_Control attaches a C++ control object to an existing
// child window of a dialog by id, so that the child's messages go through the
// object's message map from then on.

#include "platform/framework/wnd.h"

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // False once a binding failed.
    bool ok = true;
};

// Binds control to the dialog's child with the id, once; a missing child
// marks the exchange as failed.
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);
