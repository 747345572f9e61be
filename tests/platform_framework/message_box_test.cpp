// Message boxes answered the way a user would, from another thread.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/framework/dialog.h"
#include "platform/framework/message_box_icons.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/painting.h"
#include "platform_win/loop_watchdog.h"
#include "platform_win/test_window_class.h"

using namespace std::chrono_literals;

namespace {

// Waits for the box titled `caption` on another thread, looks at it, then
// answers it with `answer`.
class Answerer {
  public:
    Answerer(std::u16string caption, std::function<void(HWND)> answer)
        : thread_([this, caption = std::move(caption), answer = std::move(answer)] {
              const auto end = std::chrono::steady_clock::now() + 10s;
              HWND box = nullptr;
              while (box == nullptr && std::chrono::steady_clock::now() < end) {
                  box = FindWindowW(nullptr, caption.c_str());
                  // Shown only once it is ready for input.
                  if (box != nullptr && !IsWindowVisible(box)) box = nullptr;
                  if (box == nullptr) std::this_thread::sleep_for(5ms);
              }
              found_ = box;
              if (box != nullptr) answer(box);
          }) {}
    ~Answerer() { thread_.join(); }
    HWND Found() const { return found_.load(); }

  private:
    std::atomic<HWND> found_{nullptr};
    std::thread thread_;
};

void Click(HWND box, int id) {
    SendMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0);
}

std::vector<std::pair<int, std::u16string>> ButtonsOf(HWND box) {
    std::vector<std::pair<int, std::u16string>> buttons;
    for (HWND child = GetFirstChild(box); child != nullptr; child = GetNextSibling(child))
        if (GetClassNameString(child) == u"Button")
            buttons.emplace_back(GetDlgCtrlID(child), GetWindowTextString(child));
    return buttons;
}

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(tevorin::controls::RegisterControlClasses()); }
};

TEST_F(MessageBoxTest, EveryButtonAnswersWithItsId) {
    LoopWatchdog watchdog(60s, "message boxes");
    struct Case {
        UINT type;
        std::vector<std::pair<int, std::u16string>> buttons;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONINFORMATION, {{IDOK, u"确定"}}},
        {MB_OKCANCEL | MB_ICONINFORMATION, {{IDOK, u"确定"}, {IDCANCEL, u"取消"}}},
        {MB_YESNO | MB_ICONWARNING, {{IDYES, u"是"}, {IDNO, u"否"}}},
        {MB_YESNOCANCEL | MB_ICONERROR, {{IDYES, u"是"}, {IDNO, u"否"}, {IDCANCEL, u"取消"}}},
        {MB_RETRYCANCEL, {{IDRETRY, u"重试"}, {IDCANCEL, u"取消"}}},
    };
    for (const auto& c : cases) {
        for (const auto& [id, text] : c.buttons) {
            SCOPED_TRACE(std::to_string(c.type) + " button " + std::to_string(id));
            std::vector<std::pair<int, std::u16string>> seen;
            int result = 0;
            {
                Answerer answerer(u"Tevorin自动升级", [&](HWND box) {
                    seen = ButtonsOf(box);
                    Click(box, id);
                });
                result = MessageBoxW(nullptr, u"文本", u"Tevorin自动升级", c.type);
            }
            EXPECT_EQ(seen, c.buttons);
            EXPECT_EQ(result, id);
        }
    }
}

TEST_F(MessageBoxTest, EscapeAndCloseBoxAnswerCancelOrTheLoneOk) {
    LoopWatchdog watchdog(30s, "message box keys");
    struct Case {
        const char* what;
        UINT type;
        UINT message;
        WPARAM wParam;
        int expected;
    };
    const Case cases[] = {
        {"Esc, OK and Cancel", MB_OKCANCEL, WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
        {"Esc, OK alone", MB_OK, WM_KEYDOWN, VK_ESCAPE, IDOK},
        {"close box, OK and Cancel", MB_OKCANCEL, WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
        {"Enter presses the default (second) button", MB_YESNO | MB_DEFBUTTON2, WM_KEYDOWN,
         VK_RETURN, IDNO},
        {"Enter presses the first button by default", MB_OKCANCEL, WM_KEYDOWN, VK_RETURN, IDOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int result = 0;
        {
            Answerer answerer(u"keys", [&](HWND box) {
                // Keys arrive at a button of the box, the close request at the box.
                HWND button = GetDlgItem(box, IDOK) != nullptr ? GetDlgItem(box, IDOK)
                                                               : GetDlgItem(box, IDYES);
                PostMessageW(c.message == WM_KEYDOWN ? button : box, c.message, c.wParam, 0);
            });
            result = MessageBoxW(nullptr, u"text", u"keys", c.type);
        }
        EXPECT_EQ(result, c.expected);
    }
}

TEST_F(MessageBoxTest, YesNoIgnoresEscapeUntilAButtonIsPressed) {
    LoopWatchdog watchdog(20s, "yes/no box");
    int result = 0;
    {
        Answerer answerer(u"question", [](HWND box) {
            HWND yes = GetDlgItem(box, IDYES);
            PostMessageW(yes, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            std::this_thread::sleep_for(50ms);
            EXPECT_TRUE(IsWindow(box)) << "neither Esc nor close may answer a yes/no box";
            Click(box, IDNO);
        });
        result = MessageBoxW(nullptr, u"text", u"question", MB_YESNO | MB_ICONQUESTION);
    }
    EXPECT_EQ(result, IDNO);
}

TEST_F(MessageBoxTest, OwnerIsDisabledMeanwhileKeepsAnsweringAndTheBoxIsCentredOverIt) {
    LoopWatchdog watchdog(20s, "owned box");
    HWND owner = CreateWindowExW(0, TestClassName(), u"owner", WS_OVERLAPPED | WS_CAPTION, 100, 80,
                                 600, 400, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ShowWindow(owner, SW_SHOW);
    bool ownerEnabledMeanwhile = true;
    LRESULT ownerAnswer = 0;
    RECT boxRect{};
    RECT labelRect{};
    int result = 0;
    const std::u16string longText(200, u'字');
    {
        Answerer answerer(u"owned", [&](HWND box) {
            ownerEnabledMeanwhile = IsWindowEnabled(owner) != FALSE;
            // The owner's thread still handles messages sent to its windows.
            MessageLog::Instance().SetHandler(WM_USER + 7, [](HWND, WPARAM, LPARAM) { return 77; });
            ownerAnswer = SendMessageW(owner, WM_USER + 7, 0, 0);
            GetWindowRect(box, &boxRect);
            GetWindowRect(GetDlgItem(box, 0xFFFF), &labelRect);
            Click(box, IDOK);
        });
        result = MessageBoxW(owner, longText.c_str(), u"owned", MB_OK | MB_ICONINFORMATION);
    }
    MessageLog::Instance().ClearHandlers();
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(ownerAnswer, 77);
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, 100 + 300, 2);
    EXPECT_NEAR((boxRect.top + boxRect.bottom) / 2, 80 + 200, 2);
    // Long text wraps into several lines within a bounded width.
    EXPECT_LE(labelRect.Width(), 420);
    EXPECT_GT(labelRect.Height(), 3 * 12);
    DestroyWindow(owner);
}

TEST_F(MessageBoxTest, QuitRequestEndsTheBoxWithWhatEscWouldAnswerAndIsKeptForTheOuterLoop) {
    LoopWatchdog watchdog(20s, "quitting box");
    const struct {
        UINT type;
        int expected;
    } cases[] = {{MB_OKCANCEL, IDCANCEL}, {MB_OK, IDOK}, {MB_YESNO, 0}};
    for (const auto& c : cases) {
        PostQuitMessage(5);
        EXPECT_EQ(MessageBoxW(nullptr, u"text", u"quit", c.type), c.expected) << c.type;
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_QUIT);
        EXPECT_EQ(msg.wParam, 5u);
    }
}

TEST(MessageBoxIcons, EachKindHasItsShapeAndColourOnTheBackground) {
    const COLORREF face = RGB(212, 208, 200);
    const struct {
        const char* name;
        UINT type;
        POINT probe;  // inside the shape, away from the symbol
        COLORREF colour;
    } cases[] = {
        {"information", MB_ICONINFORMATION, {16, 28}, RGB(30, 80, 200)},
        {"question", MB_ICONQUESTION, {16, 28}, RGB(30, 80, 200)},
        {"error", MB_ICONERROR, {16, 4}, RGB(200, 30, 30)},
        {"error's cross", MB_ICONERROR, {16, 16}, RGB(255, 255, 255)},
        {"warning", MB_ICONWARNING, {16, 27}, RGB(255, 210, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP icon = tevorin::framework::CreateMessageBoxIcon(c.type, face);
        ASSERT_NE(icon, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, icon);
        EXPECT_EQ(GetPixel(dc, c.probe.x, c.probe.y), c.colour);
        EXPECT_EQ(GetPixel(dc, 0, 0), face);
        EXPECT_EQ(GetPixel(dc, 31, 0), face);
        DeleteDC(dc);
        DeleteObject(icon);
    }
    EXPECT_EQ(tevorin::framework::CreateMessageBoxIcon(MB_OKCANCEL, face), nullptr);
}

}  // namespace
