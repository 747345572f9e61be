#include "platform/controls/edit_control.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "control_test_support.h"
#include "platform/gdi/system_palette.h"
#include "platform/gdi/text_drawing.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform_win/test_window_class.h"

namespace {

constexpr int kEditId = 1004;
constexpr DWORD kDescriptionStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_NOHIDESEL |
                                    ES_READONLY | ES_WANTRETURN | WS_BORDER | WS_TABSTOP;
constexpr COLORREF kTextColour = 0xBC6464;
constexpr COLORREF kBoxColour = RGB(255, 255, 255);
constexpr COLORREF kFrameColour = RGB(160, 200, 240);
constexpr COLORREF kDisabledFrame = 0x7A7A7A;

class EditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterControlsForTest();
        MessageLog::Instance().ClearHandlers();
        parent = MakeTopLevel(u"edit parent", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300});
        ASSERT_NE(parent, nullptr);
        boxBrush = CreateSolidBrush(kBoxColour);
        MessageLog::Instance().Take();
    }
    void TearDown() override {
        MessageLog::Instance().ClearHandlers();
        DestroyWindow(parent);
        DeleteObject(boxBrush);
    }

    HWND MakeEdit(DWORD style, const char16_t* text = u"") {
        HWND edit = CreateWindowExW(0, WC_EDITW, text, style, 10, 10, 200, 60, parent,
                                    ChildIdMenu(kEditId), nullptr);
        EXPECT_NE(edit, nullptr);
        return edit;
    }

    // The parent answers both colour requests as the description page does.
    void AnswerColours() {
        for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC}) {
            MessageLog::Instance().SetHandler(message, [this](HWND, WPARAM w, LPARAM) -> LRESULT {
                HDC dc = reinterpret_cast<HDC>(w);
                SetTextColor(dc, kTextColour);
                SetBkColor(dc, kBoxColour);
                return reinterpret_cast<LRESULT>(boxBrush);
            });
        }
    }

    std::vector<ReceivedMessage> ParentMessages(UINT message) {
        std::vector<ReceivedMessage> found;
        for (const ReceivedMessage& m : MessageLog::Instance().Take()) {
            if (m.hwnd == parent && m.message == message) found.push_back(m);
        }
        return found;
    }

    static void PaintInto(HWND edit, Canvas& canvas) {
        SendMessageW(edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.get()), 0);
    }

    static int FirstLine(HWND edit) {
        return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    }

    HWND parent = nullptr;
    HBRUSH boxBrush = nullptr;
};

const char16_t* const kTenLines =
    u"line 1\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\nline 7\r\nline 8\r\nline "
    u"9\r\nline 10";

TEST_F(EditTest, ColourRequestKindFollowsReadOnlyAndEnabled) {
    struct Case {
        const char* what;
        DWORD style;
        bool enabled;
        UINT expected;
    };
    const Case cases[] = {
        {"editable", WS_CHILD | WS_VISIBLE | ES_MULTILINE, true, WM_CTLCOLOREDIT},
        {"read-only", kDescriptionStyle, true, WM_CTLCOLORSTATIC},
        {"disabled", WS_CHILD | WS_VISIBLE | ES_MULTILINE, false, WM_CTLCOLORSTATIC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND edit = MakeEdit(c.style, u"text");
        EnableWindow(edit, c.enabled ? TRUE : FALSE);
        MessageLog::Instance().Take();
        Canvas canvas(200, 60);
        PaintInto(edit, canvas);
        const UINT other = c.expected == WM_CTLCOLOREDIT ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        const auto log = MessageLog::Instance().Take();
        int asked = 0;
        for (const ReceivedMessage& m : log) {
            if (m.hwnd != parent) continue;
            EXPECT_NE(m.message, other);
            if (m.message != c.expected) continue;
            ++asked;
            // The request names the device context and the control, which is
            // how the parent's framework hands it back to the control.
            EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(canvas.dc.get()));
            EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(edit));
        }
        EXPECT_EQ(asked, 1);
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, ParentColoursPaintTheBoxAndText) {
    AnswerColours();
    HWND edit = MakeEdit(kDescriptionStyle, u"Tevorin 新版本");
    Canvas canvas(200, 60);
    PaintInto(edit, canvas);
    RECT client;
    ASSERT_TRUE(GetClientRect(edit, &client));
    EXPECT_EQ(canvas.Count(client, kCanvasColour), 0) << "the whole client area is painted";
    EXPECT_EQ(canvas.At(client.right - 3, client.bottom - 3), kBoxColour);
    EXPECT_GT(canvas.CountInk(RECT{0, 0, 150, 20}, kTextColour, kBoxColour), 5) << "text in the parent's colour";
    EXPECT_EQ(canvas.Count(client, GetSysColor(COLOR_BTNFACE)), 0) << "no system background";
}

TEST_F(EditTest, DisabledTextIsGrey) {
    AnswerColours();
    HWND edit = MakeEdit(kDescriptionStyle, u"Tevorin 新版本");
    EnableWindow(edit, FALSE);
    Canvas canvas(200, 60);
    PaintInto(edit, canvas);
    EXPECT_GT(canvas.CountInk(RECT{0, 0, 150, 20}, GetSysColor(COLOR_GRAYTEXT), kBoxColour), 5);
    EXPECT_EQ(canvas.CountInk(RECT{0, 0, 150, 20}, kTextColour, kBoxColour), 0);
}

TEST_F(EditTest, EmptyTextLeavesTheBoxEmpty) {
    AnswerColours();
    HWND edit = MakeEdit(kDescriptionStyle, u"");
    Canvas canvas(200, 60);
    PaintInto(edit, canvas);
    RECT client;
    ASSERT_TRUE(GetClientRect(edit, &client));
    EXPECT_EQ(canvas.Count(client, kBoxColour), client.right * client.bottom);
}

TEST_F(EditTest, TextRoundTripsAndWrapsInsideTheWidth) {
    HWND edit = MakeEdit(kDescriptionStyle);
    const std::u16string text = u"第一行\r\n第二行";
    ASSERT_TRUE(SetWindowTextW(edit, text.c_str()));
    EXPECT_EQ(GetWindowTextString(edit), text);
    EXPECT_EQ(GetWindowTextLengthW(edit), static_cast<int>(text.size()));
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
    std::u16string longLine;
    for (int i = 0; i < 12; ++i) longLine += u"word ";
    ASSERT_TRUE(SetWindowTextW(edit, longLine.c_str()));
    EXPECT_GT(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1) << "wrapped inside 200 pixels";
    // Wrapped text stays inside the formatting rectangle.
    AnswerColours();
    Canvas canvas(200, 60);
    PaintInto(edit, canvas);
    RECT area;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    EXPECT_EQ(canvas.CountInk(RECT{area.right, 0, 198, 58}, kTextColour, kBoxColour), 0);
    EXPECT_GT(canvas.CountInk(RECT{0, 0, 198, 58}, kTextColour, kBoxColour), 10);
}

TEST_F(EditTest, ScrollRequestsMoveTheFirstLineAndNotify) {
    HWND edit = MakeEdit(kDescriptionStyle, kTenLines);
    LOGFONTW font;
    ASSERT_GT(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), 0);
    RECT area;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    const int visible = (area.bottom - area.top) / MeasureTextExtent(font, u"Ag").cy;
    const int last = 10 - visible;
    ASSERT_GE(last, 5) << "the box shows only a few of the ten lines";
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        int expected;
    };
    const Step steps[] = {
        {"line up at the top", WM_VSCROLL, SB_LINEUP, 0},
        {"line down", WM_VSCROLL, SB_LINEDOWN, 1},
        {"wheel towards the user", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 4},
        {"wheel away", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 1},
        {"bottom", WM_VSCROLL, SB_BOTTOM, last},
        {"line down at the bottom", WM_VSCROLL, SB_LINEDOWN, last},
        {"top", WM_VSCROLL, SB_TOP, 0},
        {"thumb", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 2},
    };
    int before = FirstLine(edit);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        MessageLog::Instance().Take();
        SendMessageW(edit, step.message, step.wParam, 0);
        EXPECT_EQ(FirstLine(edit), step.expected);
        int notified = 0;
        for (const ReceivedMessage& m : ParentMessages(WM_COMMAND)) {
            if (HIWORD(m.wParam) == EN_VSCROLL && LOWORD(m.wParam) == kEditId &&
                m.lParam == reinterpret_cast<LPARAM>(edit)) {
                ++notified;
            }
        }
        EXPECT_EQ(notified, step.expected != before ? 1 : 0);
        before = FirstLine(edit);
    }
}

TEST_F(EditTest, ScrollingByOneLineMovesTheContentByOneLine) {
    AnswerColours();
    HWND edit = MakeEdit(kDescriptionStyle, kTenLines);
    LOGFONTW font;
    ASSERT_GT(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), 0);
    const int lineHeight = MeasureTextExtent(font, u"Ag").cy;
    RECT area;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    ASSERT_GE(area.bottom - area.top, 2 * lineHeight);
    Canvas before(200, 60);
    PaintInto(edit, before);
    SendMessageW(edit, WM_VSCROLL, SB_LINEDOWN, 0);
    Canvas after(200, 60);
    PaintInto(edit, after);
    int differing = 0;
    for (int y = area.top; y < area.top + lineHeight; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            differing += after.At(x, y) != before.At(x, y + lineHeight) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0) << "line 2 now stands where line 1 stood";
    EXPECT_NE(after.CountInk(RECT{area.left, area.top, area.right, area.top + lineHeight}, kTextColour,
                             kBoxColour),
              0);
}

// A subclass that paints a flat frame over the edge, as the description box does.
WNDPROC g_editProc = nullptr;
COLORREF FrameColourOf(HWND hwnd) { return IsWindowEnabled(hwnd) ? kFrameColour : kDisabledFrame; }
void DrawFlatFrame(HWND hwnd) {
    HDC dc = GetWindowDC(hwnd);
    if (dc == nullptr) return;
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT rect{0, 0, window.right - window.left, window.bottom - window.top};
    Draw3dRect(dc, rect, FrameColourOf(hwnd), FrameColourOf(hwnd));
    rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    Draw3dRect(dc, rect, kBoxColour, kBoxColour);
    ReleaseDC(hwnd, dc);
}
LRESULT FlatEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(g_editProc, hwnd, message, wParam, lParam);
    if (message == WM_NCPAINT || message == WM_PAINT) DrawFlatFrame(hwnd);
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL) InvalidateRect(hwnd, nullptr, TRUE);
    return result;
}

TEST_F(EditTest, SubclassPaintsItsFrameOverTheEdge) {
    AnswerColours();
    HWND edit = MakeEdit(kDescriptionStyle, u"text");
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FlatEditProc)));
    ASSERT_NE(g_editProc, nullptr);
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        EnableWindow(edit, enabled ? TRUE : FALSE);
        InvalidateRect(edit, nullptr, TRUE);
        ASSERT_TRUE(UpdateWindow(edit));
        HDC dc = GetWindowDC(edit);
        ASSERT_NE(dc, nullptr);
        const COLORREF frame = enabled ? kFrameColour : kDisabledFrame;
        const POINT outer[] = {{0, 0}, {100, 0}, {199, 0}, {0, 30}, {199, 30}, {0, 59}, {100, 59}, {199, 59}};
        for (POINT p : outer) EXPECT_EQ(GetPixel(dc, p.x, p.y), frame) << p.x << "," << p.y;
        const POINT inner[] = {{1, 1}, {100, 1}, {198, 1}, {1, 30}, {198, 30}, {1, 58}, {100, 58}, {198, 58}};
        for (POINT p : inner) EXPECT_EQ(GetPixel(dc, p.x, p.y), kBoxColour) << p.x << "," << p.y;
        ReleaseDC(edit, dc);
    }
}

TEST_F(EditTest, WithoutSubclassTheBorderIsTheSystemFrame) {
    HWND edit = MakeEdit(kDescriptionStyle, u"text");
    InvalidateRect(edit, nullptr, TRUE);
    ASSERT_TRUE(UpdateWindow(edit));
    HDC dc = GetWindowDC(edit);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(GetPixel(dc, 199, 59), GetSysColor(COLOR_WINDOWFRAME));
    ReleaseDC(edit, dc);
}

TEST_F(EditTest, SubclassedScrollInvalidatesTheWholeBox) {
    HWND edit = MakeEdit(kDescriptionStyle, kTenLines);
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FlatEditProc)));
    for (UINT message : {WM_VSCROLL, WM_MOUSEWHEEL}) {
        ValidateRect(edit, nullptr);
        const WPARAM request = message == WM_VSCROLL ? SB_LINEDOWN : MAKEWPARAM(0, static_cast<WORD>(-120));
        SendMessageW(edit, message, request, 0);
        RECT update;
        ASSERT_TRUE(GetUpdateRect(edit, &update, FALSE));
        RECT client;
        GetClientRect(edit, &client);
        EXPECT_EQ(update, client) << message;
    }
}

TEST_F(EditTest, TypingFollowsReadOnlyAndWantReturn) {
    struct Case {
        const char* what;
        DWORD style;
        std::u16string expected;
    };
    const Case cases[] = {
        {"read-only ignores keys", kDescriptionStyle, u"ab"},
        {"want-return breaks the line", WS_CHILD | ES_MULTILINE | ES_WANTRETURN, u"abx\r\ny"},
        {"without want-return Enter is the dialog's", WS_CHILD | ES_MULTILINE, u"abxy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND edit = MakeEdit(c.style, u"ab");
        SendMessageW(edit, EM_SETSEL, 2, 2);
        for (char16_t key : std::u16string(u"xz\b\ry")) SendMessageW(edit, WM_CHAR, key, 0);
        EXPECT_EQ(GetWindowTextString(edit), c.expected);
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, BackspaceRemovesALineBreakAsOne) {
    HWND edit = MakeEdit(WS_CHILD | ES_MULTILINE | ES_WANTRETURN, u"a\r\nb");
    SendMessageW(edit, EM_SETSEL, 3, 3);
    SendMessageW(edit, WM_CHAR, u'\b', 0);
    EXPECT_EQ(GetWindowTextString(edit), u"ab");
    EXPECT_GT(ParentMessages(WM_COMMAND).size(), 0u);
}

}  // namespace
