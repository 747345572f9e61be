// Round trip of a SendMessageW from a worker thread to a window whose thread
// runs its message loop: what each 8 KiB chunk of a download costs in
// messaging.

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

constexpr UINT kProgress = WM_USER + 3;

LRESULT ProgressProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == kProgress) return l;
    return DefWindowProcW(hwnd, message, w, l);
}

void BM_CrossThreadSendRoundTrip(benchmark::State& state) {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &ProgressProc;
        c.lpszClassName = u"BenchProgressWindow";
        return RegisterClassW(c);
    }();
    if (!registered) {
        state.SkipWithError("class registration failed");
        return;
    }
    std::atomic<HWND> window{nullptr};
    std::thread ui([&] {
        HWND hwnd = CreateWindowExW(0, u"BenchProgressWindow", u"bench", WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, nullptr);
        window = hwnd;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        DestroyWindow(hwnd);
    });
    while (window.load() == nullptr) std::this_thread::yield();
    LPARAM percent = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendMessageW(window.load(), kProgress, 0, ++percent));
    }
    PostMessageW(window.load(), WM_QUIT, 0, 0);
    ui.join();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CrossThreadSendRoundTrip)->UseRealTime();

// Creating and destroying a hidden top-level window in a running process
// (the desktop session already open).
void BM_HiddenWindowCreateDestroy(benchmark::State& state) {
    static const bool registered = [] {
        WNDCLASSW c;
        c.lpfnWndProc = &DefWindowProcW;
        c.lpszClassName = u"BenchHiddenWindow";
        return RegisterClassW(c);
    }();
    if (!registered) {
        state.SkipWithError("class registration failed");
        return;
    }
    for (auto _ : state) {
        HWND hwnd =
            CreateWindowExW(0, u"BenchHiddenWindow", u"tevorin_abe87_liveupdate_window_xxycy",
                            WS_POPUP | WS_CAPTION, 0, 0, 60, 40, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(hwnd);
        DestroyWindow(hwnd);
    }
}
BENCHMARK(BM_HiddenWindowCreateDestroy);

}  // namespace

BENCHMARK_MAIN();
