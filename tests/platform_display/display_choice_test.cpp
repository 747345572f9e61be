#include <gtest/gtest.h>

#include <string>

#include "platform/display/display_backend.h"
#include "platform/display/x11_display.h"

namespace tevorin::display {
namespace {

TEST(DisplayChoice, FollowsTevorinDisplayThenDisplay) {
    struct Case {
        const char* tevorinDisplay;
        const char* display;
        DisplayKind expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, DisplayKind::kHeadless},   {nullptr, "", DisplayKind::kHeadless},
        {nullptr, ":0", DisplayKind::kX11},           {"", ":0", DisplayKind::kX11},
        {"headless", ":0", DisplayKind::kHeadless},   {"headless", nullptr, DisplayKind::kHeadless},
        {"x11", nullptr, DisplayKind::kX11},          {"x11", ":1", DisplayKind::kX11},
        {"X11", nullptr, DisplayKind::kHeadless},  // values are exact words
        {"wayland", ":0", DisplayKind::kX11},      // unknown: as if unset
        {"wayland", nullptr, DisplayKind::kHeadless},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RequestedDisplayKind(c.tevorinDisplay, c.display), c.expected)
            << "TEVORIN_DISPLAY=" << (c.tevorinDisplay ? c.tevorinDisplay : "(unset)")
            << " DISPLAY=" << (c.display ? c.display : "(unset)");
    }
}

TEST(DisplayChoice, NoServerGivesNoX11DisplayAndSaysWhy) {
    std::string error;
    // A display number nobody serves, on the local socket only.
    auto display = X11Display::Connect(":60999", "", &error);
    EXPECT_EQ(display, nullptr);
    EXPECT_NE(error.find(":60999"), std::string::npos) << error;
}

}  // namespace
}  // namespace tevorin::display
