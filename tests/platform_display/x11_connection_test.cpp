// The X11 backend on its own, against a private Xvfb that the test may kill.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/display/x11_display.h"
#include "support/x_server.h"
// Xlib last: its macros (None, Status, Bool) would break the headers above.
#include <X11/Xlib.h>

namespace tevorin::display {
namespace {

using test_support::TestXServer;

class X11ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string whyNot;
        server_ = TestXServer::Start(TestXServer::Kind::kPrivate, &whyNot);
        if (!server_) {
            if (test_support::FindProgram("Xvfb").empty()) GTEST_SKIP() << whyNot;
            FAIL() << whyNot;
        }
        std::string error;
        display_ = X11Display::Connect(server_->Display(), "", &error);
        ASSERT_NE(display_, nullptr) << error;
        image_.Resize(50, 40, 0x336699);
    }

    WindowImage Image(bool visible) {
        WindowImage image;
        image.handle = 77;
        image.title = u"lost";
        image.visible = visible;
        image.client = &image_;
        image.x = 10;
        image.y = 10;
        image.width = 50;
        image.height = 40;
        return image;
    }

    std::unique_ptr<TestXServer> server_;
    std::unique_ptr<X11Display> display_;
    Framebuffer image_;
};

TEST_F(X11ConnectionTest, LostServerLeavesTheProgramRunningWithoutAScreen) {
    display_->Present(Image(true));
    display_->ProcessEvents();
    ASSERT_NE(display_->XWindowOf(77), 0u);
    const int fd = display_->ConnectionFd();
    ASSERT_GE(fd, 0);

    ASSERT_TRUE(server_->Kill());
    // The loss shows when the connection is read; from then on nothing is
    // watched and nothing is sent.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (display_->ConnectionFd() >= 0 && std::chrono::steady_clock::now() < deadline) {
        display_->ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(display_->ConnectionFd(), -1);
    image_.Set(1, 1, 0xFFFFFF);
    display_->Present(Image(true));
    display_->Update(Image(false));
    display_->ProcessEvents();
    display_->Forget(77);
    EXPECT_EQ(display_->XWindowOf(77), 0u);
    // Snapshots still work: they never needed the server.
    const std::string png = ::testing::TempDir() + "/lost-snapshot.png";
    EXPECT_TRUE(display_->Snapshot(Image(true), png));
}

TEST_F(X11ConnectionTest, HiddenWindowGetsNoXWindowAndForgetRemovesIt) {
    display_->Present(Image(false));
    EXPECT_EQ(display_->XWindowOf(77), 0u);
    display_->Present(Image(true));
    const unsigned long window = display_->XWindowOf(77);
    ASSERT_NE(window, 0u);
    display_->Forget(77);
    EXPECT_EQ(display_->XWindowOf(77), 0u);

    // The window is gone from the server too.
    Display* inspector = XOpenDisplay(server_->Display().c_str());
    ASSERT_NE(inspector, nullptr);
    XWindowAttributes attributes;
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    EXPECT_EQ(XGetWindowAttributes(inspector, window, &attributes), 0);
    XCloseDisplay(inspector);
}

}  // namespace
}  // namespace tevorin::display
