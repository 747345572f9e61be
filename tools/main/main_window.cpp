#include "tools/main/main_window.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/core/text.h"
#include "platform/process/detached_start.h"
#include "platform/win/message_loop.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "tools/main/launcher_script.h"
#include "tools/main/main_window_paint.h"

namespace main_stand_in {
namespace {

constexpr char16_t kWindowClass[] = u"TevorinMainWindow";
constexpr int kWidth = 320;
constexpr int kHeight = 140;

DWORD g_version = 0;
bool g_destroyed = false;

// What the window receives from outside is written on stdout, one line each,
// so that whoever started the main program can tell what the updater asked.
void Report(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

LRESULT MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintMainWindow(hwnd, g_version);
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) Report("minimised");
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_DESTROY:
            g_destroyed = true;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void StartUpdater(const std::string& dir, HWND window, MainMode mode) {
    const std::string updater = dir + "/" + kUpdaterName;
    const int error =
        StartDetachedProcess(updater, UpdaterArguments(updater, HwndToInt(window), mode), dir);
    // The main program carries on without its updater, as it would when the
    // updater is missing.
    if (error != 0)
        std::fprintf(stderr, "tevorin-main: cannot start %s: %s\n", updater.c_str(),
                     std::strerror(error));
}

}  // namespace

std::vector<std::string> UpdaterArguments(const std::string& updaterPath, int handle,
                                          MainMode mode) {
    std::vector<std::string> args{updaterPath, "<handle>" + std::to_string(handle) + "</handle>"};
    if (mode == MainMode::kUpdate) args.push_back("<userupgrade>TRUE</userupgrade>");
    return args;
}

int RunMainWindow(MainMode mode, const std::string& dir, DWORD version) {
    g_version = version;
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(windowClass)) {
        std::fprintf(stderr, "tevorin-main: cannot register the window class\n");
        return 1;
    }
    HWND window = CreateWindowExW(
        0, kWindowClass, kMainWindowTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "tevorin-main: cannot create the main window\n");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (mode == MainMode::kCheck || mode == MainMode::kUpdate) StartUpdater(dir, window, mode);

    MSG msg;
    BOOL got = 0;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (got < 0) return 1;
    // A quit message without the window's destruction came from outside.
    if (!g_destroyed) Report("told to quit");
    return static_cast<int>(msg.wParam);
}

}  // namespace main_stand_in
