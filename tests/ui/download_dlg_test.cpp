#include "ui/download_dlg.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/module_dir.h"
#include "app/update_state.h"
#include "platform/core/text.h"
#include "platform/gdi/system_palette.h"
#include "platform/win/paint.h"
#include "platform/win/painting.h"
#include "platform_win/loop_watchdog.h"
#include "resources/resource_ids.h"
#include "ui/download_page1.h"
#include "ui/download_page2.h"
#include "ui/download_services.h"
#include "ui_test_support.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// Every child of `parent` (not deeper) with its text.
std::vector<std::u16string> ChildTexts(HWND parent) {
    std::vector<std::u16string> texts;
    for (HWND child = GetFirstChild(parent); child != nullptr; child = GetNextSibling(child))
        texts.push_back(GetWindowTextString(child));
    return texts;
}

bool HasChildText(HWND parent, const std::u16string& text) {
    for (const std::u16string& t : ChildTexts(parent))
        if (t == text) return true;
    return false;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW description{};
    auto* font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(font, nullptr);
    if (font != nullptr) {
        EXPECT_NE(GetObjectW(font, sizeof description, &description), 0);
    }
    return description;
}

RECT WindowRectOf(HWND window) {
    RECT rect{0, 0, 0, 0};
    EXPECT_TRUE(GetWindowRect(window, &rect));
    return rect;
}

class DownloadDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PrepareProgramResources();
        LoadUpdateStateFrom(SampleManifestPath());
        // A wizard whose word starts the download at once would stop every
        // Tevorin.exe on the machine (other tests' included) and fetch files:
        // these tests look at the window only.
        saved = TheDownloadServices();
        TheDownloadServices() = InertDownloadServices();
    }
    void TearDown() override {
        if (wizard != nullptr && IsWindow(wizardWindow)) {
            wizard->DestroyWindow();  // deletes the object
        }
        wizard = nullptr;
        DrainQueue();
        ClearUpdateState();
        TheDownloadServices() = saved;
    }

    void MakeWizard() {
        const UINT templateId = theUpdateState.UiLanguage == 2 ? 136 : 103;
        wizard = new CDownloadDlg(templateId, CWnd::FromHandle(GetDesktopWindow()));
        ASSERT_NE(wizard->m_hWnd, nullptr) << "the template makes a window";
        wizardWindow = wizard->m_hWnd;
        ASSERT_NE(wizard->descriptionPage, nullptr);
        ASSERT_NE(wizard->fileListPage, nullptr);
    }

    void ShowAndPaint() {
        wizard->ShowWindow(SW_SHOW);
        ASSERT_TRUE(UpdateWindow(wizardWindow));
    }

    // Drops what the test left in the thread's queue, the quit request included.
    static void DrainQueue() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT) DispatchMessageW(&msg);
        }
    }

    HWND Page1Item(int id) { return GetDlgItem(wizard->descriptionPage->m_hWnd, id); }
    HWND Page2Item(int id) { return GetDlgItem(wizard->fileListPage->m_hWnd, id); }

    DownloadServices saved;
    CDownloadDlg* wizard = nullptr;
    HWND wizardWindow = nullptr;
};

TEST_F(DownloadDlgTest, BuildsTheWizardOfEachLanguageFromItsTemplates) {
    struct Case {
        int language;
        UINT wizardTemplate, page1Template, page2Template;
        const char16_t* next;
        const char16_t* cancel;
        const char16_t* label;
        const char16_t* heading;
        const char16_t* status;
    };
    const Case cases[] = {
        {0, 103, 131, 132, u"下一步", u"取消", u"升级说明", u"本次升级需更新以下文件",
         u"正在下载文件,请稍候..."},
        {1, 103, 131, 132, u"下一步", u"取消", u"升级说明", u"本次升级需更新以下文件",
         u"正在下载文件,请稍候..."},
        {2, 136, 134, 135, u"Next", u"Cancel", u"Description of the latest version",
         u"We need files below to finish this upgrade", u"Downloading files,please wait..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        theUpdateState.UiLanguage = c.language;
        MakeWizard();
        EXPECT_EQ(wizard->TemplateId(), c.wizardTemplate);
        EXPECT_EQ(wizard->descriptionPage->TemplateId(), c.page1Template);
        EXPECT_EQ(wizard->fileListPage->TemplateId(), c.page2Template);
        EXPECT_EQ(theDownloadDlg, wizard);
        EXPECT_EQ(wizard->GetWindowTextString(), u"Tevorin在线升级") << "Chinese in both";
        EXPECT_FALSE(wizard->IsWindowVisible()) << "the host decides when it shows";
        EXPECT_EQ(GetWindowTextString(GetDlgItem(wizardWindow, IDOK)), c.next);
        EXPECT_EQ(GetWindowTextString(GetDlgItem(wizardWindow, IDCANCEL)), c.cancel);
        EXPECT_TRUE(HasChildText(wizard->descriptionPage->m_hWnd, c.label));
        EXPECT_EQ(GetWindowTextString(Page2Item(IDC_FILE_LIST_HEADING)), c.heading);
        EXPECT_EQ(GetWindowTextString(Page2Item(IDC_DOWNLOAD_STATUS)), c.status);

        // Both pages lie on the page area; the description page is in front.
        const RECT area = WindowRectOf(GetDlgItem(wizardWindow, IDC_PAGE_AREA));
        EXPECT_EQ(WindowRectOf(wizard->descriptionPage->m_hWnd), area);
        EXPECT_EQ(WindowRectOf(wizard->fileListPage->m_hWnd), area);
        EXPECT_TRUE((wizard->descriptionPage->GetStyle() & WS_VISIBLE) != 0);
        EXPECT_FALSE((wizard->fileListPage->GetStyle() & WS_VISIBLE) != 0);

        // The description text, in its colour, and one row per file.
        EXPECT_EQ(GetWindowTextString(Page1Item(IDC_DESCRIPTION_EDIT)), theUpdateState.description);
        EXPECT_EQ(wizard->descriptionPage->descriptionEdit.textColour, RGB(100, 100, 188));
        EXPECT_EQ(wizard->fileListPage->fileList.GetItemCount(), 3);

        // Title and heading in a bold copy of the wizard's own font.
        const LOGFONTW own = FontOf(wizardWindow);
        for (HWND control : {Page1Item(IDC_PAGE1_TITLE), Page2Item(IDC_FILE_LIST_HEADING)}) {
            const LOGFONTW bold = FontOf(control);
            EXPECT_EQ(bold.lfWeight, FW_BOLD);
            EXPECT_EQ(bold.lfHeight, own.lfHeight);
            EXPECT_EQ(std::u16string(bold.lfFaceName), std::u16string(own.lfFaceName));
            EXPECT_EQ(bold.lfItalic, own.lfItalic);
        }
        wizard->DestroyWindow();
        EXPECT_EQ(theDownloadDlg, nullptr) << "the wizard deleted itself";
        wizard = nullptr;
    }
}

TEST_F(DownloadDlgTest, TitleFollowsTheActionWord) {
    struct Case {
        const char16_t* action;
        const char16_t* title;
        bool red;
        bool mainProgramTold;  // minimised and sent WM_QUIT
    };
    const Case cases[] = {
        {u"UserPrompt", u"Tevorin有新版本了！", false, false},
        {u"UpdateRightNow", u"Tevorin有新版本了！请升级到最新版本。", true, true},
        {u"userprompt", u"A", false, false},
        {u"UPDATERIGHTNOW", u"A", false, false},
        {u"Default", u"A", false, false},
        {u"", u"A", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.action));
        HostWindow mainProgram(200, 100);
        theUpdateState.mainWindow = mainProgram.m_hWnd;
        theUpdateState.action = c.action;
        MakeWizard();

        EXPECT_EQ(GetWindowTextString(Page1Item(IDC_PAGE1_TITLE)), c.title);
        EXPECT_EQ(wizard->descriptionPage->redTitle, c.red ? 1 : 0);
        EXPECT_EQ(IsIconic(mainProgram.m_hWnd) != FALSE, c.mainProgramTold);
        MSG quit;
        EXPECT_EQ(PeekMessageW(&quit, mainProgram.m_hWnd, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE,
                  c.mainProgramTold);

        ShowAndPaint();
        HWND title = Page1Item(IDC_PAGE1_TITLE);
        RECT client;
        ASSERT_TRUE(GetClientRect(title, &client));
        const int redPixels = CountOf(title, client, kRed);
        if (c.red) {
            EXPECT_GT(redPixels, 20) << "the urgent title is red";
        } else {
            EXPECT_EQ(redPixels, 0);
            EXPECT_GT(CountOf(title, client, GetSysColor(COLOR_BTNTEXT)), 5) << "normal text";
        }
        wizard->DestroyWindow();
        wizard = nullptr;
    }
}

TEST_F(DownloadDlgTest, DescriptionBoxShowsItsColoursAndFlatFrame) {
    MakeWizard();
    ShowAndPaint();
    HWND box = Page1Item(IDC_DESCRIPTION_EDIT);
    RECT window = WindowRectOf(box);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    EXPECT_EQ(PixelOf(box, 0, height / 2, true), RGB(107, 133, 206));
    EXPECT_EQ(PixelOf(box, width / 2, height - 1, true), RGB(107, 133, 206));
    EXPECT_EQ(PixelOf(box, 1, height / 2, true), RGB(255, 255, 255));
    RECT client;
    ASSERT_TRUE(GetClientRect(box, &client));
    EXPECT_GT(CountInkOf(box, client, RGB(100, 100, 188), RGB(255, 255, 255)), 20)
        << "the description's text colour";
    EXPECT_EQ(CountOf(box, client, GetSysColor(COLOR_BTNFACE)), 0) << "white, not grey";
}

TEST_F(DownloadDlgTest, EnterAndEscOnAPageNeitherCloseNorHideIt) {
    MakeWizard();
    wizard->fileListPage->ShowWindow(SW_SHOW);
    struct Case {
        const char* what;
        HWND (*page)(CDownloadDlg* wizard);
        int command;
    };
    const Case cases[] = {
        {"description page, Enter", [](CDownloadDlg* w) { return w->descriptionPage->m_hWnd; },
         IDOK},
        {"description page, Esc", [](CDownloadDlg* w) { return w->descriptionPage->m_hWnd; },
         IDCANCEL},
        {"file list page, Enter", [](CDownloadDlg* w) { return w->fileListPage->m_hWnd; }, IDOK},
        {"file list page, Esc", [](CDownloadDlg* w) { return w->fileListPage->m_hWnd; }, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HWND page = c.page(wizard);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(c.command), 0), 0);
        DrainQueue();
        EXPECT_TRUE(IsWindow(page));
        EXPECT_NE(GetWindowLongPtrW(page, GWL_STYLE) & WS_VISIBLE, 0) << "still shown";
        EXPECT_TRUE(IsWindow(wizardWindow));
    }
}

TEST_F(DownloadDlgTest, DownloadDirectoryIsNamedAfterTheServerVersion) {
    struct Case {
        DWORD serverVersion;
        const char16_t* folder;
    };
    const Case cases[] = {{42, u"upgrade/2A/"}, {0, u"upgrade/0/"}, {0xC1A2C, u"upgrade/C1A2C/"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serverVersion);
        theUpdateState.serverVersion = c.serverVersion;
        MakeWizard();
        EXPECT_EQ(wizard->upgradeDir, GetModuleDir() + c.folder);
        const std::filesystem::path made(Utf16ToUtf8(wizard->upgradeDir));
        EXPECT_TRUE(std::filesystem::is_directory(made));
        wizard->DestroyWindow();
        wizard = nullptr;
        std::error_code ignored;
        std::filesystem::remove(made, ignored);
    }
}

TEST_F(DownloadDlgTest, CancelAndTheCloseBoxEndTheLoopAndDeleteTheWizard) {
    struct Case {
        const char* what;
        void (*press)(HWND wizard);
    };
    const Case cases[] = {
        {"Cancel button",
         [](HWND w) {
             PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0 /* clicked */),
                          reinterpret_cast<LPARAM>(GetDlgItem(w, IDCANCEL)));
         }},
        {"close box", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE from elsewhere", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeWizard();
        ShowAndPaint();
        const HWND page1 = wizard->descriptionPage->m_hWnd;
        const HWND page2 = wizard->fileListPage->m_hWnd;
        c.press(wizardWindow);
        {
            LoopWatchdog watchdog(std::chrono::seconds(20), c.what);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            EXPECT_EQ(msg.message, WM_QUIT);
        }
        EXPECT_FALSE(IsWindow(wizardWindow));
        EXPECT_FALSE(IsWindow(page1));
        EXPECT_FALSE(IsWindow(page2));
        EXPECT_EQ(theDownloadDlg, nullptr) << "the object is gone";
        wizard = nullptr;
    }
}

}  // namespace
