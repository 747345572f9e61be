// A program with a window for the tevorin-desktop tests. Its top-level
// window (no frame, at 100,50, 200x120) takes its title from the first
// argument and holds three children:
//   id 1 "Button" at 10,20 20x10, visible and enabled, text "OK\tgo\\"
//   id 2 "Static" at 40,20 30x10, hidden
//   id 3 "Button" at 10,40 20x10, visible and disabled
// It reports on stdout, one line each, "ready <handle>", "click <id>",
// "post <message> <wParam> <lParam>" (for WM_USER and above) and "close",
// and ends when its window is destroyed.

#include <cstdio>
#include <string>

#include "platform/core/text.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

constexpr UINT kButtonClick = 0x00F5;

void Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

LRESULT TopProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message >= WM_USER && message < 0x8000) {
        Report("post " + std::to_string(message) + " " + std::to_string(w) + " " +
               std::to_string(static_cast<long long>(l)));
        return 0;
    }
    if (message == WM_CLOSE) Report("close");
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

LRESULT ControlProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == kButtonClick) {
        Report("click " + std::to_string(GetDlgCtrlID(hwnd)));
        return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
}

bool Register(const char16_t* name, WNDPROC proc) {
    WNDCLASSW c;
    c.lpfnWndProc = proc;
    c.lpszClassName = name;
    return RegisterClassW(c);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (!Register(u"DesktopPeer", &TopProc) || !Register(u"Button", &ControlProc) ||
        !Register(u"Static", &ControlProc))
        return 3;
    const std::u16string title = Utf8ToUtf16(argv[1]);
    HWND top = CreateWindowExW(0, u"DesktopPeer", title.c_str(), WS_POPUP | WS_VISIBLE, 100, 50,
                               200, 120, nullptr, nullptr, nullptr);
    if (top == nullptr) return 4;
    HWND ok = CreateWindowExW(0, u"Button", u"OK\tgo\\", WS_CHILD | WS_VISIBLE, 10, 20, 20, 10, top,
                              ChildIdMenu(1), nullptr);
    HWND hidden =
        CreateWindowExW(0, u"Static", u"", WS_CHILD, 40, 20, 30, 10, top, ChildIdMenu(2), nullptr);
    HWND disabled = CreateWindowExW(0, u"Button", u"下一步", WS_CHILD | WS_VISIBLE | WS_DISABLED,
                                    10, 40, 20, 10, top, ChildIdMenu(3), nullptr);
    if (ok == nullptr || hidden == nullptr || disabled == nullptr) return 5;
    Report("ready " + std::to_string(HwndToInt(top)));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
