// Showing a 500x400 framebuffer (the wizard's size) in an X window: a whole
// new frame, and a frame where one progress cell changed. Uses $DISPLAY when
// set, else a private Xvfb.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/display/x11_display.h"
#include "platform/display/x11_pixels.h"
#include "support/x_server.h"

namespace {

using tevorin::display::WindowImage;
using tevorin::display::X11Display;

constexpr int kWidth = 500;
constexpr int kHeight = 400;

struct Screen {
    std::unique_ptr<test_support::TestXServer> server;
    std::unique_ptr<X11Display> display;
    std::string error;
};

Screen& TheScreen() {
    static Screen screen = [] {
        Screen s;
        std::string name;
        const char* display = std::getenv("DISPLAY");
        if (display != nullptr && *display != '\0') {
            name = display;
        } else {
            s.server = test_support::TestXServer::Start(test_support::TestXServer::Kind::kPrivate,
                                                        &s.error);
            if (!s.server) return s;
            name = s.server->Display();
        }
        s.display = X11Display::Connect(name, "", &s.error);
        return s;
    }();
    return screen;
}

WindowImage ImageOf(const Framebuffer& frame) {
    WindowImage image;
    image.handle = 1;
    image.title = u"present benchmark";
    image.visible = true;
    image.client = &frame;
    image.x = 20;
    image.y = 20;
    image.width = kWidth;
    image.height = kHeight;
    return image;
}

void BM_PresentWholeFrame(benchmark::State& state) {
    Screen& screen = TheScreen();
    if (!screen.display) {
        state.SkipWithError(screen.error.c_str());
        return;
    }
    Framebuffer frames[2];
    frames[0].Resize(kWidth, kHeight, 0x204060);
    frames[1].Resize(kWidth, kHeight, 0x604020);
    int which = 0;
    for (auto _ : state) {
        screen.display->Present(ImageOf(frames[which]));
        screen.display->ProcessEvents();
        which ^= 1;
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PresentWholeFrame)->UseRealTime();

// A progress bar moves in one 100x16 cell of the file list.
void BM_PresentOneChangedCell(benchmark::State& state) {
    Screen& screen = TheScreen();
    if (!screen.display) {
        state.SkipWithError(screen.error.c_str());
        return;
    }
    Framebuffer frame;
    frame.Resize(kWidth, kHeight, 0xF0F0F0);
    screen.display->Present(ImageOf(frame));
    int step = 0;
    for (auto _ : state) {
        const int filled = step++ % 100;
        for (int y = 200; y < 216; ++y)
            for (int x = 300; x < 400; ++x) frame.Set(x, y, x - 300 < filled ? 0x3060C0 : 0xFFFFFF);
        screen.display->Present(ImageOf(frame));
        screen.display->ProcessEvents();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PresentOneChangedCell)->UseRealTime();

// The conversion alone, for a 16-bit screen, where every pixel is repacked.
void BM_ConvertWholeFrameTo565(benchmark::State& state) {
    Framebuffer frame;
    frame.Resize(kWidth, kHeight, 0x336699);
    const tevorin::display::PixelLayout layout{0xF800, 0x07E0, 0x001F, 16, false};
    std::vector<std::uint8_t> image(static_cast<std::size_t>(kWidth) * kHeight * 2);
    for (auto _ : state) {
        tevorin::display::ConvertRect(frame, 0, 0, kWidth, kHeight, layout, image.data(),
                                      kWidth * 2);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_ConvertWholeFrameTo565);

}  // namespace

BENCHMARK_MAIN();
