#include "platform/framework/dialog.h"

#include <cstdio>

#include "platform/framework/dialog_builder.h"
#include "platform/framework/dialog_window.h"
#include "platform/framework/modal_loop.h"
#include "platform/framework/win_app.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/resource/resource_table.h"

using namespace tevorin::framework;

namespace {

bool IsKeyboardMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

// The window a top-level dialog is placed over: its owner, else the screen.
RECT PlacementArea(HWND owner) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (area.IsEmpty()) area = RECT{0, 0, 1024, 768};
    if (owner != nullptr && owner != GetDesktopWindow() && IsWindowVisible(owner) &&
        !IsIconic(owner))
        GetWindowRect(owner, &area);
    return area;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
ON_COMMAND(IDOK, &CDialog::HandleOK)
ON_COMMAND(IDCANCEL, &CDialog::HandleCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    parent_ = parent;
    return CreateFromTemplate(templateId, parent != nullptr ? parent->m_hWnd : nullptr);
}

BOOL CDialog::CreateFromTemplate(UINT templateId, HWND parent) {
    templateId_ = templateId;
    if (m_hWnd != nullptr) return FALSE;
    const DialogTemplate* dialogTemplate = FindDialogTemplate(static_cast<int>(templateId));
    if (dialogTemplate == nullptr) {
        std::fprintf(stderr, "dialog %u: no such dialog template\n", templateId);
        return FALSE;
    }
    if (!RegisterDialogClass()) return FALSE;
    const bool child = (dialogTemplate->style & WS_CHILD) != 0;
    if (child && (parent == nullptr || parent == GetDesktopWindow())) return FALSE;

    const LOGFONTW fontDescription = TemplateFont(*dialogTemplate);
    const SIZE baseUnits = DialogBaseUnits(fontDescription);
    const RECT client = DialogUnitsToPixels(dialogTemplate->x, dialogTemplate->y,
                                            dialogTemplate->cx, dialogTemplate->cy, baseUnits);
    const DWORD style = dialogTemplate->style & ~WS_VISIBLE;
    RECT window{0, 0, client.Width(), client.Height()};
    AdjustWindowRectEx(&window, style, FALSE, dialogTemplate->exStyle);
    int x = client.left;
    int y = client.top;
    if (!child && parent != nullptr && parent != GetDesktopWindow()) {
        // A popup's position counts from its owner's client area.
        POINT origin{0, 0};
        ::ClientToScreen(parent, &origin);
        x += origin.x;
        y += origin.y;
    }
    const RECT rect{x, y, x + window.Width(), y + window.Height()};
    if (!CreateEx(dialogTemplate->exStyle, kDialogClassName, dialogTemplate->caption.c_str(), style,
                  rect, FromHandle(parent), 0))
        return FALSE;

    HFONT font = nullptr;
    if ((dialogTemplate->style & DS_SETFONT) != 0 && !dialogTemplate->fontFace.empty()) {
        font = CreateFontIndirectW(&fontDescription);
        SetDialogFont(m_hWnd, font, true);
    } else {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SetDialogFont(m_hWnd, font, false);
    }
    if (!CreateTemplateControls(m_hWnd, *dialogTemplate, baseUnits, font)) {
        DestroyWindow();
        return FALSE;
    }
    // Templates placed at the origin, and those that ask for it, are centred.
    if (!child && ((dialogTemplate->style & DS_CENTER) != 0 ||
                   (dialogTemplate->x == 0 && dialogTemplate->y == 0))) {
        const RECT area = PlacementArea(parent);
        ::SetWindowPos(m_hWnd, nullptr, area.left + (area.Width() - rect.Width()) / 2,
                       area.top + (area.Height() - rect.Height()) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND hwnd = m_hWnd;
    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    const LRESULT wantsFocus = SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0);
    if (!IsWindow(hwnd)) return FALSE;  // OnInitDialog destroyed it
    if (wantsFocus != 0 && first != nullptr && IsWindow(first)) SetFocus(first);
    if ((dialogTemplate->style & WS_VISIBLE) != 0) ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    HWND owner = parent_ != nullptr ? parent_->m_hWnd : nullptr;
    if (owner == nullptr) {
        CWnd* main = AfxGetMainWnd();
        if (main != nullptr && main != this && main->m_hWnd != nullptr &&
            ::IsWindowVisible(main->m_hWnd))
            owner = main->m_hWnd;
    }
    if (owner != nullptr) owner = GetTopLevelWindow(owner);
    modal_ = true;
    if (!CreateFromTemplate(templateId_, owner)) {
        modal_ = false;
        return -1;
    }
    HWND hwnd = m_hWnd;
    // The owner takes no input while the dialog is up.
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    HWND previousFocus = GetFocus();
    INT_PTR result = -1;
    if (!IsDialogEnded(hwnd, &result)) {
        if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
        RunModalLoop(hwnd);
        IsDialogEnded(hwnd, &result);
    }
    if (disableOwner && IsWindow(owner)) ::EnableWindow(owner, TRUE);
    modal_ = false;
    if (IsWindow(hwnd)) {
        ::ShowWindow(hwnd, SW_HIDE);
        ::DestroyWindow(hwnd);
    }
    if (previousFocus != nullptr && IsWindow(previousFocus)) SetFocus(previousFocus);
    return result;
}

void CDialog::EndDialog(int result) {
    if (m_hWnd == nullptr) return;
    MarkDialogEnded(m_hWnd, result);
    if (!modal_) ShowWindow(SW_HIDE);
}

DWORD CDialog::GetDefID() const {
    const int id = GetDialogDefaultId(m_hWnd);
    return id == 0 ? 0 : static_cast<DWORD>(MAKELPARAM(static_cast<WORD>(id), DC_HASDEFID));
}

void CDialog::SetDefID(UINT id) {
    SetDialogDefaultId(m_hWnd, static_cast<int>(id));
}

void CDialog::NextDlgCtrl() const {
    if (HWND next = GetNextDlgTabItem(m_hWnd, GetFocus(), FALSE)) SetFocus(next);
}

void CDialog::PrevDlgCtrl() const {
    if (HWND previous = GetNextDlgTabItem(m_hWnd, GetFocus(), TRUE)) SetFocus(previous);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control != nullptr && control->m_hWnd != nullptr) SetFocus(control->m_hWnd);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr) return FALSE;
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return exchange.ok ? TRUE : FALSE;
}

void CDialog::DoDataExchange(CDataExchange* /*dx*/) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (m_hWnd == nullptr || msg == nullptr || !IsKeyboardMessage(msg->message)) return FALSE;
    // A page inside another dialog leaves the keys to the dialog around it.
    if ((GetStyle() & WS_CHILD) != 0) return FALSE;
    return IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::HandleInitDialog(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return OnInitDialog();
}
