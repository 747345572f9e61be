// A second process of the desktop session for the session tests: it makes a
// hidden top-level window with the title from its first argument and a
// button-like child (id 1), prints the window's handle, and runs its message
// loop until WM_QUIT. Exit code: 20, plus 1 when the window was minimised,
// plus 2 when the child was clicked.

#include <cstdio>
#include <string>

#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

bool g_clicked = false;

LRESULT PeerProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == 0x00F5) {  // BM_CLICK
        g_clicked = true;
        return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::u16string title;
    for (const char* p = argv[1]; *p; ++p) title.push_back(static_cast<char16_t>(*p));
    WNDCLASSW c;
    c.lpfnWndProc = &PeerProc;
    c.lpszClassName = u"SessionPeer";
    if (!RegisterClassW(c)) return 3;
    HWND top = CreateWindowExW(0, u"SessionPeer", title.c_str(), WS_POPUP | WS_CAPTION, 5, 6, 100,
                               80, nullptr, nullptr, nullptr);
    HWND button = CreateWindowExW(0, u"SessionPeer", u"下一步", WS_CHILD | WS_VISIBLE, 1, 2, 30, 10,
                                  top, ChildIdMenu(1), nullptr);
    if (top == nullptr || button == nullptr) return 4;
    std::printf("%d %d\n", HwndToInt(top), HwndToInt(button));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 20 + (IsIconic(top) ? 1 : 0) + (g_clicked ? 2 : 0);
}
