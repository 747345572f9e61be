// Starts, makes the updater's hidden marker window and ends: run by the
// start-up benchmark to time a process from exec to its first hidden window.
// Exit code 0 on success, 2 when the window could not be made.

#include "platform/win/window.h"

int main() {
    WNDCLASSW c;
    c.lpfnWndProc = &DefWindowProcW;
    c.lpszClassName = u"StartBenchWindow";
    if (!RegisterClassW(c)) return 2;
    HWND hwnd = CreateWindowExW(0, u"StartBenchWindow", u"tevorin_abe87_liveupdate_window_xxycy",
                                WS_POPUP | WS_CAPTION, 0, 0, 60, 40, nullptr, nullptr, nullptr);
    if (hwnd == nullptr) return 2;
    DestroyWindow(hwnd);
    return 0;
}
