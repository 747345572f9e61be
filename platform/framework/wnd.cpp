#include "platform/framework/wnd.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/framework/win_app.h"
#include "platform/win/window_observers.h"

using namespace tevorin::framework;

namespace {

std::mutex& AttachedMutex() {
    static std::mutex mutex;
    return mutex;
}
std::unordered_map<int, CWnd*>& Attached() {
    static std::unordered_map<int, CWnd*> attached;
    return attached;
}
thread_local std::map<int, std::unique_ptr<CWnd>> t_temporaries;

bool IsColorRequest(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The class for windows that CWnd::Create makes without a class of their own.
const char16_t* PlainClass() {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &DefWindowProcW;
        c.lpszClassName = u"TevorinFrameworkWindow";
        return RegisterClassW(c);
    }();
    (void)registered;
    return u"TevorinFrameworkWindow";
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // The window must not call into a destroyed object.
        ::DestroyWindow(m_hWnd);
        // A window already on its way out (its parent is being destroyed) is
        // given back its own procedure, so that its control still sees its
        // own destruction and frees what it holds.
        if (m_hWnd != nullptr) (void)UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    std::lock_guard lock(AttachedMutex());
    auto it = Attached().find(HwndToInt(hwnd));
    return it == Attached().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd)) return permanent;
    auto& temporary = t_temporaries[HwndToInt(hwnd)];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
        temporary->m_hWnd = hwnd;  // not attached: the window keeps its procedure
    }
    return temporary.get();
}

void CWnd::DeleteTempMap() {
    // Colour handlers get temporary wrappers of device contexts and windows alike.
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    for (auto& [handle, temporary] : t_temporaries) temporary->m_hWnd = nullptr;
    t_temporaries.clear();
}

BOOL CWnd::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || !IsWindow(hwnd)) return FALSE;
    std::lock_guard lock(AttachedMutex());
    auto [it, inserted] = Attached().emplace(HwndToInt(hwnd), this);
    if (!inserted) return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr) {
        std::lock_guard lock(AttachedMutex());
        auto it = Attached().find(HwndToInt(hwnd));
        if (it != Attached().end() && it->second == this) Attached().erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return FALSE;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
    // A window that already runs the framework's procedure keeps the default below it.
    superProc_ = previous == &FrameworkWindowProc ? nullptr : previous;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr) return FALSE;
    HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item != nullptr && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr) return nullptr;
    if (superProc_ != nullptr)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    superProc_ = nullptr;
    return Detach();
}

void CWnd::AttachDuringCreation(HWND hwnd, void* self) {
    static_cast<CWnd*>(self)->SubclassWindow(hwnd);
}

BOOL CWnd::Create(const char16_t* className, const char16_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* createParams) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, createParams);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                    DWORD style, const RECT& rect, CWnd* parent, UINT id, void* createParams) {
    if (m_hWnd != nullptr) return FALSE;
    tevorin::win::SetThreadCreationHook(&CWnd::AttachDuringCreation, this);
    HWND hwnd = CreateWindowExW(
        exStyle, className != nullptr ? className : PlainClass(), windowName, style, rect.left,
        rect.top, rect.Width(), rect.Height(), parent != nullptr ? parent->m_hWnd : nullptr,
        (style & WS_CHILD) != 0 ? ChildIdMenu(static_cast<int>(id)) : nullptr, createParams);
    tevorin::win::SetThreadCreationHook(nullptr, nullptr);  // in case creation failed early
    return hwnd != nullptr && m_hWnd == hwnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::ShowWindow(int command) {
    return ::ShowWindow(m_hWnd, command);
}
void CWnd::SetWindowTextW(const char16_t* text) {
    ::SetWindowTextW(m_hWnd, text);
}
int CWnd::GetWindowTextW(char16_t* buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
}
std::u16string CWnd::GetWindowTextString() const {
    return ::GetWindowTextString(m_hWnd);
}
int CWnd::GetWindowTextLengthW() const {
    return ::GetWindowTextLengthW(m_hWnd);
}
CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}
void CWnd::SetDlgItemTextW(int id, const char16_t* text) {
    ::SetDlgItemTextW(m_hWnd, id, text);
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
}

namespace {
BOOL ModifyBits(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags) {
    if (hwnd == nullptr) return FALSE;
    const auto before = static_cast<DWORD>(GetWindowLongPtrW(hwnd, index));
    const DWORD after = (before & ~remove) | add;
    if (after == before) return FALSE;
    SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(after));
    if (flags != 0)
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    return ModifyBits(m_hWnd, GWL_STYLE, remove, add, flags);
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return ModifyBits(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}
void CWnd::GetClientRect(RECT* rect) const {
    ::GetClientRect(m_hWnd, rect);
}
void CWnd::GetWindowRect(RECT* rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
void CWnd::ScreenToClient(POINT* point) const {
    ::ScreenToClient(m_hWnd, point);
}
void CWnd::ClientToScreen(POINT* point) const {
    ::ClientToScreen(m_hWnd, point);
}
void CWnd::ScreenToClient(RECT* rect) const {
    if (rect == nullptr) return;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    ::ScreenToClient(m_hWnd, &corners[0]);
    ::ScreenToClient(m_hWnd, &corners[1]);
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}
void CWnd::ClientToScreen(RECT* rect) const {
    if (rect == nullptr) return;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    ::ClientToScreen(m_hWnd, &corners[0]);
    ::ClientToScreen(m_hWnd, &corners[1]);
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    if (rect != nullptr) MoveWindow(rect->left, rect->top, rect->Width(), rect->Height(), repaint);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
    // The special positions (HWND_TOPMOST...) travel as the pointer value of their handle.
    HWND after = insertAfter == nullptr ? nullptr
                 : reinterpret_cast<std::intptr_t>(insertAfter) <= 2 &&
                         reinterpret_cast<std::intptr_t>(insertAfter) >= -2
                     ? reinterpret_cast<HWND>(const_cast<CWnd*>(insertAfter))
                     : insertAfter->m_hWnd;
    return ::SetWindowPos(m_hWnd, after, x, y, width, height, flags);
}
void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT own;
    ::GetWindowRect(m_hWnd, &own);
    RECT area{0, 0, 1024, 768};  // the headless screen
    HWND owner = alternateOwner != nullptr ? alternateOwner->m_hWnd : ::GetParent(m_hWnd);
    if ((GetStyle() & WS_CHILD) != 0) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
    } else if (owner != nullptr && owner != GetDesktopWindow()) {
        ::GetWindowRect(owner, &area);
    }
    const int x = area.left + (area.Width() - own.Width()) / 2;
    const int y = area.top + (area.Height() - own.Height()) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}
void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
void CWnd::InvalidateRect(const RECT* rect, BOOL erase) {
    ::InvalidateRect(m_hWnd, rect, erase);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

const MessageMap* CWnd::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{EntryKind::kEnd, 0, 0, 0, 0, nullptr}};
    static const MessageMap map{nullptr, entries};
    return &map;
}
const MessageMap* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CWnd::FindEntry(EntryKind kind, UINT message, UINT code, UINT id,
                     const MessageMapEntry** found) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->kind != EntryKind::kEnd; ++e) {
            if (e->kind != kind || e->message != message) continue;
            switch (kind) {
                case EntryKind::kMessage:
                case EntryKind::kReflectCtlColor:
                case EntryKind::kCtlColor:
                    break;
                case EntryKind::kCommand:
                    if (e->code != code || id < e->idFirst || id > e->idLast) continue;
                    break;
                case EntryKind::kNotify:
                    if (e->code != code || id != e->idFirst) continue;
                    break;
                case EntryKind::kReflectCommand:
                case EntryKind::kReflectNotify:
                    if (e->code != code) continue;
                    break;
                case EntryKind::kEnd:
                    continue;
            }
            *found = e;
            return true;
        }
    }
    return false;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr) {
        if (CWnd* child = FromHandlePermanent(control)) {
            LRESULT ignored = 0;
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
        }
    }
    const MessageMapEntry* entry = nullptr;
    if (!FindEntry(EntryKind::kCommand, WM_COMMAND, HIWORD(wParam), LOWORD(wParam), &entry))
        return FALSE;
    entry->invoke(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    if (CWnd* child = FromHandlePermanent(header->hwndFrom))
        if (child->OnChildNotify(WM_NOTIFY, wParam, lParam, result)) return TRUE;
    const MessageMapEntry* entry = nullptr;
    if (!FindEntry(EntryKind::kNotify, WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom),
                   &entry))
        return FALSE;
    *result = entry->invoke(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const MessageMapEntry* entry = nullptr;
    if (message == WM_COMMAND) {
        if (!FindEntry(EntryKind::kReflectCommand, WM_COMMAND, HIWORD(wParam), 0, &entry))
            return FALSE;
        *result = entry->invoke(this, wParam, lParam);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == nullptr ||
            !FindEntry(EntryKind::kReflectNotify, WM_NOTIFY, header->code, 0, &entry))
            return FALSE;
        *result = entry->invoke(this, wParam, lParam);
        return TRUE;
    }
    if (IsColorRequest(message)) {
        if (!FindEntry(EntryKind::kReflectCtlColor, WM_CTLCOLOR, 0, 0, &entry)) return FALSE;
        CtlColorRequest request{reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                message - WM_CTLCOLORMSGBOX};
        *result = entry->invoke(this, 0, reinterpret_cast<LPARAM>(&request));
        // A control that gives no brush leaves the colours to its parent's default.
        return *result != 0;
    }
    return FALSE;
}

LRESULT CWnd::OnCtlColorRequest(UINT message, HDC dc, HWND child) {
    const MessageMapEntry* entry = nullptr;
    if (FindEntry(EntryKind::kCtlColor, WM_CTLCOLOR, 0, 0, &entry)) {
        CtlColorRequest request{dc, child, message - WM_CTLCOLORMSGBOX};
        return entry->invoke(this, 0, reinterpret_cast<LPARAM>(&request));
    }
    return ReflectCtlColor(message, dc, child);
}

LRESULT CWnd::ReflectCtlColor(UINT message, HDC dc, HWND child) {
    if (CWnd* control = FromHandlePermanent(child)) {
        LRESULT brush = 0;
        if (control->OnChildNotify(message, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(child), &brush))
            return brush;
    }
    return DefWindowProc(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (ctlColor > CTLCOLOR_STATIC) return nullptr;
    return reinterpret_cast<HBRUSH>(ReflectCtlColor(WM_CTLCOLORMSGBOX + ctlColor,
                                                    dc != nullptr ? dc->m_hDC : nullptr,
                                                    wnd != nullptr ? wnd->m_hWnd : nullptr));
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
    if (IsColorRequest(message)) {
        *result = OnCtlColorRequest(message, reinterpret_cast<HDC>(wParam),
                                    reinterpret_cast<HWND>(lParam));
        return TRUE;
    }
    const MessageMapEntry* entry = nullptr;
    if (!FindEntry(EntryKind::kMessage, message, 0, 0, &entry)) return FALSE;
    *result = entry->invoke(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (superProc_ != nullptr) return CallWindowProcW(superProc_, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

BOOL CWnd::PreTranslateMessage(MSG* /*msg*/) {
    return FALSE;
}

LRESULT FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = CWnd::FromHandlePermanent(hwnd);
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message != WM_NCDESTROY) return self->WindowProc(message, wParam, lParam);
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    // The window is gone: detach, end the application's loop when it was the
    // main window, and let the object delete itself if it wants to.
    self->superProc_ = nullptr;
    self->Detach();
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == self) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    self->PostNcDestroy();
    return result;
}
