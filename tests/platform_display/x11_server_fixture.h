#pragma once
// The fixture of the tests that run on a real X server: the server scripts/
// test.sh shares, or a private Xvfb for the suite; skipped only when Xvfb is
// not installed. Each test gets an X connection of its own to inspect the
// screen with.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/display/display_backend.h"
#include "support/run_process.h"
#include "support/x_server.h"
// Xlib last: its macros (None, Status, Bool) would break the headers above.
#include <X11/Xlib.h>

namespace x11_test {

class X11ServerFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ =
            test_support::TestXServer::Start(test_support::TestXServer::Kind::kSharedIfAny, &whyNot_)
                .release();
        if (server_ == nullptr) return;
        ::setenv("DISPLAY", server_->Display().c_str(), 1);
        ::unsetenv("TEVORIN_DISPLAY");
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    // Derived fixtures call this first and stop when it skipped or failed.
    void SetUp() override {
        if (server_ == nullptr) {
            if (test_support::FindProgram("Xvfb").empty()) GTEST_SKIP() << whyNot_;
            FAIL() << whyNot_;
        }
        ASSERT_FALSE(test_support::FindProgram("xdotool").empty()) << "xdotool is not installed";
        ASSERT_STREQ(tevorin::display::ActiveDisplay().Name(), "x11");
        inspector_ = XOpenDisplay(server_->Display().c_str());
        ASSERT_NE(inspector_, nullptr);
    }
    void TearDown() override {
        if (inspector_ != nullptr) XCloseDisplay(inspector_);
        inspector_ = nullptr;
    }
    bool SetUpStopped() const { return IsSkipped() || HasFatalFailure(); }

    static inline test_support::TestXServer* server_ = nullptr;
    static inline std::string whyNot_;
    Display* inspector_ = nullptr;
};

}  // namespace x11_test
