#pragma once
// Windows: classes, creation and destruction, the window tree, styles, text,
// rectangles, visibility and enabling. Every function here may be called from
// any thread; those that run window procedures do so on the window's own
// thread, as the message functions in message_loop.h describe.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"
#include "platform/core/window_styles.h"
#include "platform/win/messages.h"

using LONG_PTR = std::intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// A child window's id travels in the menu argument of CreateWindowExW.
struct HMENU__;
using HMENU = HMENU__*;
inline HMENU ChildIdMenu(int id) {
    return reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id));
}

struct WNDCLASSW {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    const char16_t* lpszClassName = nullptr;
};

// What WM_NCCREATE and WM_CREATE receive in lParam.
struct CREATESTRUCTW {
    void* lpCreateParams = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    const char16_t* lpszName = nullptr;
    const char16_t* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// Window value indexes of GetWindowLongPtrW / SetWindowLongPtrW. Indexes of
// zero and above address the extra values of a window (dialogs keep theirs
// there).
inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;

// SetWindowPos.
inline const HWND HWND_TOP = HwndFromInt(0);
inline const HWND HWND_BOTTOM = HwndFromInt(1);
inline const HWND HWND_TOPMOST = HwndFromInt(-1);
inline const HWND HWND_NOTOPMOST = HwndFromInt(-2);
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;

// Classes. Names compare without regard to ASCII case. Registering a name a
// second time fails.
[[nodiscard]] bool RegisterClassW(const WNDCLASSW& windowClass);
bool UnregisterClassW(const char16_t* className);
[[nodiscard]] bool GetClassInfoW(const char16_t* className, WNDCLASSW* out);
std::u16string GetClassNameString(HWND hwnd);

// Creation runs WM_NCCREATE, WM_CREATE and WM_SIZE on the calling thread,
// which becomes the window's thread. A parent of another thread is refused.
// Null when the class is unknown, the parent is no window or a creation
// message refused.
HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* windowName,
                     DWORD style, int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                     void* createParams);

// Destroys the window and its children: WM_DESTROY goes to the window, then
// to its children; WM_NCDESTROY to the children, then to the window. Only the
// window's own thread may destroy it. Afterwards the handle is no window:
// messages sent to it return 0, posted ones are refused, and senders that were
// still waiting for it are released with 0.
BOOL DestroyWindow(HWND hwnd);

BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetParent(HWND hwnd);
// The root of a child chain: the top-level window that holds it.
HWND GetTopLevelWindow(HWND hwnd);
// Stands for the screen. A window created with it as parent is top-level.
HWND GetDesktopWindow();
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
// Children in creation order (which is the dialog's tab order).
HWND GetFirstChild(HWND hwnd);
HWND GetNextSibling(HWND hwnd);
HWND GetPrevSibling(HWND hwnd);

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
// Returns the previous value. A new GWL_STYLE or GWL_EXSTYLE is stored as is;
// the frame is not recomputed until SetWindowPos with SWP_FRAMECHANGED.
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling of every message a window procedure does not handle.
LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Text. SetWindowTextW sends WM_SETTEXT; GetWindowTextW sends WM_GETTEXT to a
// window of the calling thread and reads the stored title of any other.
BOOL SetWindowTextW(HWND hwnd, const char16_t* text);
int GetWindowTextW(HWND hwnd, char16_t* buffer, int maxCount);
int GetWindowTextLengthW(HWND hwnd);
std::u16string GetWindowTextString(HWND hwnd);
BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text);

// Visibility. ShowWindow returns whether the window was visible before; it
// works on windows of other threads and, through the desktop session, of
// other processes.
BOOL ShowWindow(HWND hwnd, int command);
// True when the window and all its ancestors are visible.
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns whether it was disabled before
BOOL IsWindowEnabled(HWND hwnd);

// Rectangles. Window rectangles are in screen coordinates; a child's position
// for MoveWindow and SetWindowPos is in its parent's client coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// Adds to a rectangle given for the client area the frame that the styles draw.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL hasMenu, DWORD exStyle);

// Thread and process that own a window; 0 for no window. Thread ids are the
// system's thread ids.
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// A top-level window of any live process of the desktop session whose title
// is exactly windowName (hidden windows included). Class names are not
// compared across processes; pass null.
HWND FindWindowW(const char16_t* className, const char16_t* windowName);
