#include "platform/controls/control_classes.h"
#include "platform/controls/framework/cedit.h"

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!tevorin::controls::RegisterControlClasses()) return FALSE;
    return CWnd::Create(WC_EDITW, u"", style, rect, parent, id);
}

int CEdit::GetLineCount() { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }

int CEdit::GetFirstVisibleLine() { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }

void CEdit::LineScroll(int lines, int chars) {
    (void)SendMessage(EM_LINESCROLL, static_cast<WPARAM>(chars), static_cast<LPARAM>(lines));
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly)));
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    (void)noScroll;
    (void)SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEdit::GetSel(int& start, int& end) {
    DWORD from = 0;
    DWORD to = 0;
    (void)SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    start = static_cast<int>(from);
    end = static_cast<int>(to);
}
