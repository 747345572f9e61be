#include "platform_display/x11_test_window.h"

#include <future>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform/win/thread_queue.h"
#include "support/x_server.h"

namespace x11_test {
namespace {

constexpr UINT kRecorded[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,  WM_RBUTTONDOWN, WM_MOUSEWHEEL,
                              WM_KEYDOWN,     WM_KEYUP,      WM_CHAR,        WM_COMMAND,
                              WM_CLOSE,       WM_SYSCOMMAND, WM_SETFOCUS};

void FillWith(HDC dc, RECT rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

LRESULT PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    for (UINT recorded : kRecorded)
        if (message == recorded) Log().push_back(Received{hwnd, message, wParam, lParam});
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT client;
            GetClientRect(hwnd, &client);
            if (GetParent(hwnd) == nullptr) {
                for (int y = 0; y < client.bottom; y += 10)
                    for (int x = 0; x < client.right; x += 10)
                        FillWith(dc, RECT{x, y, x + 10, y + 10},
                                 ColorRefFromPixel(PatternPixel(x, y)));
            } else {
                FillWith(dc, client, static_cast<COLORREF>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONUP: {
            HWND parent = GetParent(hwnd);
            const int x = static_cast<std::int16_t>(LOWORD(lParam));
            const int y = static_cast<std::int16_t>(HIWORD(lParam));
            RECT client;
            GetClientRect(hwnd, &client);
            if (parent != nullptr && x >= 0 && y >= 0 && x < client.right && y < client.bottom)
                PostMessageW(parent, WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(hwnd)),
                             reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        case WM_CLOSE:
            return 0;  // the test decides when a window goes
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

const char16_t* PanelClass() {
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &PanelProc;
        windowClass.lpszClassName = u"X11TestPanel";
        return RegisterClassW(windowClass);
    }();
    return registered ? u"X11TestPanel" : nullptr;
}

}  // namespace

std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

std::vector<Received> LogOf(UINT message) {
    std::vector<Received> found;
    for (const auto& r : Log())
        if (r.message == message) found.push_back(r);
    return found;
}

std::uint32_t PatternPixel(int x, int y) {
    const int column = x / 10;
    const int row = y / 10;
    return PixelFromRgb(static_cast<std::uint8_t>(column * 8), static_cast<std::uint8_t>(row * 12),
                        static_cast<std::uint8_t>(0x40 + (column + row) % 2 * 0x80));
}

HWND MakePanel(const char16_t* title, RECT rect, DWORD style, DWORD exStyle) {
    return CreateWindowExW(exStyle, PanelClass(), title, style, rect.left, rect.top, rect.Width(),
                           rect.Height(), nullptr, nullptr, nullptr);
}

HWND MakeChildPanel(HWND parent, int id, RECT rect, COLORREF color, DWORD style) {
    HWND child =
        CreateWindowExW(0, PanelClass(), u"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                        rect.Width(), rect.Height(), parent, ChildIdMenu(id), nullptr);
    SetWindowLongPtrW(child, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    InvalidateRect(child, nullptr, TRUE);
    return child;
}

void PumpOnce(std::chrono::milliseconds slice) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    tevorin::win::CurrentThreadQueue()->Wait(static_cast<int>(slice.count()), true);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpOnce();
    }
    return true;
}

test_support::ProcessResult Xdotool(const std::vector<std::string>& args, void (*pump)()) {
    const std::string program = test_support::FindProgram("xdotool");
    if (program.empty()) return test_support::ProcessResult{};
    auto running = std::async(std::launch::async, [&] {
        return test_support::RunProcess(program, args, std::chrono::seconds(10));
    });
    while (running.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) pump();
    return running.get();
}

}  // namespace x11_test
