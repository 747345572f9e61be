#pragma once
// CWnd: a C++ object attached to a window. While attached, every message of
// the window goes through the object's WindowProc, which routes it through
// the class's message map and otherwise to the window's previous procedure.
// An object is attached by creating its window (Create, CreateEx), by
// subclassing an existing window (SubclassWindow, SubclassDlgItem), or
// without taking over the procedure (Attach).

#include <string>

#include "platform/framework/message_map.h"
#include "platform/gdi/cdc.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

class CWnd {
  public:
    CWnd();
    // Destroys a window that is still attached; the object must not be
    // deleted from inside its own window's messages unless PostNcDestroy does it.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return this == nullptr ? nullptr : m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to the window, or a temporary one owned by the
    // calling thread that lives until its message loop is next idle.
    static CWnd* FromHandle(HWND hwnd);
    // The attached object only; null when there is none.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // Frees the calling thread's temporary objects.
    static void DeleteTempMap();

    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL Create(const char16_t* className, const char16_t* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, void* createParams = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                          DWORD style, const RECT& rect, CWnd* parent, UINT id,
                          void* createParams = nullptr);
    virtual BOOL DestroyWindow();

    BOOL ShowWindow(int command);
    void SetWindowTextW(const char16_t* text);
    int GetWindowTextW(char16_t* buffer, int maxCount) const;
    std::u16string GetWindowTextString() const;
    int GetWindowTextLengthW() const;
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemTextW(int id, const char16_t* text);
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags);
    // Centres the window over its owner, or over the screen when it has none.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL IsIconic() const;
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A modal message box owned by this window (see MessageBoxW).
    int MessageBox(const char16_t* text, const char16_t* caption = nullptr, UINT type = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();

    // The window procedure of every attached window: the message map first,
    // then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's procedure from before it was subclassed, or the system's default.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY, once the object is detached; objects that
    // delete themselves do it here.
    virtual void PostNcDestroy();
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The default colours for a child's colour request (ctlColor is one of
    // the CTLCOLOR_ kinds): the control's reflected handler, else the
    // system's colours. ON_WM_CTLCOLOR handlers call it for what they leave alone.
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);

  protected:
    static const ::tevorin::framework::MessageMap* GetThisMessageMap();
    virtual const ::tevorin::framework::MessageMap* GetMessageMap() const;

    // Routes a message through the map; false when no entry took it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification or colour request that the parent reflected to this
    // control; true when the control's map took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A colour request about a child: the map's colour entry when there is
    // one, else ReflectCtlColor.
    virtual LRESULT OnCtlColorRequest(UINT message, HDC dc, HWND child);
    // The default colouring: the control's own reflected colour entry, else
    // the system's colours.
    LRESULT ReflectCtlColor(UINT message, HDC dc, HWND child);

  private:
    friend LRESULT FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    static void AttachDuringCreation(HWND hwnd, void* self);
    bool FindEntry(::tevorin::framework::EntryKind kind, UINT message, UINT code, UINT id,
                   const ::tevorin::framework::MessageMapEntry** found) const;

    WNDPROC superProc_ = nullptr;  // set while subclassed
};

// The procedure that framework windows run under.
LRESULT FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Kinds of colour request that OnCtlColor and CtlColor handlers receive.
inline constexpr UINT CTLCOLOR_MSGBOX = 0;
inline constexpr UINT CTLCOLOR_EDIT = 1;
inline constexpr UINT CTLCOLOR_LISTBOX = 2;
inline constexpr UINT CTLCOLOR_BTN = 3;
inline constexpr UINT CTLCOLOR_DLG = 4;
inline constexpr UINT CTLCOLOR_SCROLLBAR = 5;
inline constexpr UINT CTLCOLOR_STATIC = 6;

namespace tevorin::framework {

// Thunks of the colour entries: HBRUSH OnCtlColor(CDC*, CWnd*, UINT) in the
// parent, HBRUSH CtlColor(CDC*, UINT) in the control that the request is about.
template <class T, auto F>
LRESULT InvokeCtlColor(CWnd* self, WPARAM, LPARAM l) {
    const auto* request = reinterpret_cast<const CtlColorRequest*>(l);
    return reinterpret_cast<LRESULT>((static_cast<T*>(self)->*F)(
        CDC::FromHandle(request->dc), CWnd::FromHandle(request->control), request->type));
}
template <class T, auto F>
LRESULT InvokeCtlColorReflect(CWnd* self, WPARAM, LPARAM l) {
    const auto* request = reinterpret_cast<const CtlColorRequest*>(l);
    return reinterpret_cast<LRESULT>(
        (static_cast<T*>(self)->*F)(CDC::FromHandle(request->dc), request->type));
}

}  // namespace tevorin::framework

#define ON_WM_CTLCOLOR()                               \
    TEVORIN_MAP_ENTRY(kCtlColor, WM_CTLCOLOR, 0, 0, 0, \
                      (&::tevorin::framework::InvokeCtlColor<ThisClass, &ThisClass::OnCtlColor>))
#define ON_WM_CTLCOLOR_REFLECT()                \
    TEVORIN_MAP_ENTRY(                          \
        kReflectCtlColor, WM_CTLCOLOR, 0, 0, 0, \
        (&::tevorin::framework::InvokeCtlColorReflect<ThisClass, &ThisClass::CtlColor>))
