#include "ui/flat_edit.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/system_palette.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "resources/resource_ids.h"
#include "ui_test_support.h"

namespace {

constexpr DWORD kDescriptionStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_NOHIDESEL |
                                    ES_READONLY | ES_WANTRETURN | WS_BORDER | WS_TABSTOP;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightBlue = RGB(107, 133, 206);
constexpr COLORREF kGrey = RGB(122, 122, 122);
constexpr COLORREF kDescriptionText = RGB(100, 100, 188);
constexpr int kWidth = 200;
constexpr int kHeight = 60;

const char16_t* const kTenLines =
    u"line 1\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\nline 7\r\nline 8\r\nline "
    u"9\r\nline 10";

class FlatEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PrepareProgramResources();
        host = std::make_unique<HostWindow>(400, 200);
        ASSERT_NE(host->m_hWnd, nullptr);
    }

    // The description box as the page has it: the template's edit control,
    // taken over by a CFlatEdit.
    void MakeBox(const char16_t* text) {
        HWND edit = CreateWindowExW(0, WC_EDITW, text, kDescriptionStyle, 10, 10, kWidth, kHeight,
                                    host->m_hWnd, ChildIdMenu(IDC_DESCRIPTION_EDIT), nullptr);
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(box.SubclassWindow(edit));
    }

    void Paint() { ASSERT_TRUE(UpdateWindow(host->m_hWnd)); }

    // The colours of the outer and inner frame rings at the middle of each side.
    void ExpectRings(COLORREF outer, COLORREF inner) {
        struct Side {
            const char* name;
            int x, y, stepX, stepY;  // outer ring pixel and the step inwards
        };
        const Side sides[] = {
            {"left", 0, kHeight / 2, 1, 0},
            {"top", kWidth / 2, 0, 0, 1},
            {"right", kWidth - 1, kHeight / 2, -1, 0},
            {"bottom", kWidth / 2, kHeight - 1, 0, -1},
            {"top-left corner", 0, 0, 1, 1},
            {"bottom-right corner", kWidth - 1, kHeight - 1, -1, -1},
        };
        for (const Side& side : sides) {
            SCOPED_TRACE(side.name);
            EXPECT_EQ(PixelOf(box.m_hWnd, side.x, side.y, true), outer);
            EXPECT_EQ(PixelOf(box.m_hWnd, side.x + side.stepX, side.y + side.stepY, true), inner);
        }
    }

    std::unique_ptr<HostWindow> host;
    CFlatEdit box;
};

TEST_F(FlatEditTest, StartsWithTheColoursOfTheDescriptionBox) {
    EXPECT_EQ(box.backgroundColour, kWhite);
    EXPECT_EQ(box.borderColour, 0xCE856Bu);
    EXPECT_EQ(box.textColour, RGB(0, 0, 0));
    LOGBRUSH brush{};
    ASSERT_NE(GetObjectW(box.backgroundBrush, sizeof brush, &brush), 0);
    EXPECT_EQ(brush.lbColor, kWhite);
}

TEST_F(FlatEditTest, FrameIsOneLineOfTheBorderColourWithAWhiteRingInside) {
    struct Case {
        const char* what;
        bool enabled;
        COLORREF outer;
    };
    const Case cases[] = {
        {"enabled", true, kLightBlue},
        {"disabled", false, kGrey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeBox(u"Tevorin");
        box.EnableWindow(c.enabled ? TRUE : FALSE);
        Paint();
        ExpectRings(c.outer, kWhite);
        EXPECT_EQ(PixelOf(box.m_hWnd, 2, 2, true), kWhite) << "inside the frame";
        EXPECT_NE(PixelOf(box.m_hWnd, 0, 0, true), GetSysColor(COLOR_WINDOWFRAME))
            << "no system edge left";
        box.DestroyWindow();
    }
}

TEST_F(FlatEditTest, TextTakesTheBoxColoursOnWhite) {
    MakeBox(u"Tevorin 新版本");
    box.textColour = kDescriptionText;
    box.Invalidate(TRUE);
    Paint();
    RECT client;
    box.GetClientRect(&client);
    EXPECT_GT(CountInkOf(box.m_hWnd, RECT{0, 0, client.right, 16}, kDescriptionText, kWhite), 5);
    EXPECT_EQ(CountOf(box.m_hWnd, client, GetSysColor(COLOR_BTNFACE)), 0)
        << "a read-only box keeps the white background";
    EXPECT_EQ(PixelOf(box.m_hWnd, client.right - 3, client.bottom - 3), kWhite);
}

TEST_F(FlatEditTest, EmptyBoxIsStillFramed) {
    MakeBox(u"");
    Paint();
    ExpectRings(kLightBlue, kWhite);
    RECT client;
    box.GetClientRect(&client);
    EXPECT_EQ(CountOf(box.m_hWnd, client, kWhite), client.right * client.bottom);
}

TEST_F(FlatEditTest, ScrollingInvalidatesTheWholeBox) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"scroll bar request", WM_VSCROLL, SB_LINEDOWN},
        {"mouse wheel", WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<std::uint16_t>(-120)) << 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeBox(kTenLines);
        Paint();
        RECT update;
        ASSERT_FALSE(GetUpdateRect(box.m_hWnd, &update, FALSE));
        box.SendMessage(c.message, c.wParam, 0);
        EXPECT_NE(box.GetFirstVisibleLine(), 0) << "the content moved";
        ASSERT_TRUE(GetUpdateRect(box.m_hWnd, &update, FALSE));
        RECT client;
        box.GetClientRect(&client);
        EXPECT_EQ(update, client);
        Paint();
        ExpectRings(kLightBlue, kWhite);
        box.DestroyWindow();
    }
}

}  // namespace
