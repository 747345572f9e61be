// Every template of the program, control by control, against the values the
// user interface is laid out with.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/core/text.h"
#include "platform/core/window_styles.h"
#include "resources/resource_ids.h"
#include "resources/tevorin_resources.h"

namespace {

constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kHidden = WS_CHILD;
constexpr DWORD kLabel = kVisible | SS_LEFT | WS_GROUP;
constexpr DWORD kButton = kVisible | BS_PUSHBUTTON | WS_TABSTOP;

struct ExpectedControl {
    int id;
    const char16_t* className;
    std::u16string text;
    std::optional<int> image;
    short x, y, cx, cy;
    DWORD style;
};

struct ExpectedDialog {
    int id;
    std::u16string caption;
    short cx, cy;
    int pointSize;
    int weight;
    DWORD style;
    DWORD exStyle;
    std::vector<ExpectedControl> controls;
};

constexpr DWORD kWizardStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
constexpr DWORD kWizardExStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
constexpr DWORD kPageStyle = WS_CHILD | WS_SYSMENU | DS_SHELLFONT;
constexpr DWORD kNoticeStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SHELLFONT;

std::vector<ExpectedControl> WizardControls(std::u16string next, std::u16string cancel) {
    return {
        {1, u"Button", next, {}, 138, 148, 49, 13, kButton},
        {2, u"Button", cancel, {}, 192, 148, 49, 13, kButton},
        {-1, u"Static", u"", 129, 2, 2, 57, 137, kVisible | SS_BITMAP},
        {-1, u"Static", u"", {}, 1, 142, 245, 1, kVisible | SS_ETCHEDHORZ},
        {1005, u"Static", u"", {}, 61, 2, 183, 139, kHidden | SS_BLACKFRAME},
    };
}

constexpr DWORD kDescriptionBox = kVisible | ES_MULTILINE | ES_NOHIDESEL | ES_READONLY |
                                  ES_WANTRETURN | WS_BORDER | WS_TABSTOP;
constexpr DWORD kFileList =
    kVisible | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP;

const std::vector<ExpectedDialog>& ExpectedDialogs() {
    static const std::vector<ExpectedDialog> dialogs{
        {102, u"TevorinLiveUpdate", 38, 8, 9, 0, kWizardStyle, kWizardExStyle, {}},
        {103, u"Tevorin在线升级", 247, 168, 9, 0, kWizardStyle, kWizardExStyle,
         WizardControls(u"下一步", u"取消")},
        {136, u"Tevorin在线升级", 247, 168, 9, 0, kWizardStyle, kWizardExStyle,
         WizardControls(u"Next", u"Cancel")},
        {131, u"", 210, 139, 8, 400, kPageStyle, 0,
         {
             {1003, u"Static", u"A", {}, 0, 1, 203, 19, kLabel},
             {1004, u"Edit", u"", {}, 14, 58, 175, 58, kDescriptionBox},
             {-1, u"Static", u"升级说明", {}, 1, 45, 33, 9, kLabel},
             {-1, u"Static", u"本程序可以帮助您自动升级Tevorin网络电话软件。", {}, 1, 23, 177, 9, kLabel},
             {-1, u"Static", u"点击下一步将开始升级！", {}, 1, 129, 89, 9, kLabel},
         }},
        {134, u"", 210, 139, 8, 400, kPageStyle, 0,
         {
             {1003, u"Static", u"A", {}, 0, 1, 203, 19, kLabel},
             {1004, u"Edit", u"", {}, 14, 58, 175, 58, kDescriptionBox},
             {-1, u"Static", u"Description of the latest version", {}, 1, 45, 106, 9, kLabel},
             {-1, u"Static", u"This procedure can help you automatically upgrade Tevorin", {}, 1, 23,
              177, 9, kLabel},
             {-1, u"Static", u"Press \"Next\" button to update!", {}, 1, 129, 141, 9, kLabel},
         }},
        {132, u"", 210, 144, 8, 400, kPageStyle, 0,
         {
             {1007, u"Static", u"本次升级需更新以下文件", {}, 0, 3, 204, 8, kLabel},
             {1006, u"SysListView32", u"", {}, 2, 24, 205, 104, kFileList},
             {1008, u"Static", u"正在下载文件,请稍候...", {}, 3, 134, 152, 8, kLabel},
         }},
        {135, u"", 210, 144, 8, 400, kPageStyle, 0,
         {
             {1007, u"Static", u"We need files below to finish this upgrade", {}, 0, 3, 204, 8, kLabel},
             {1006, u"SysListView32", u"", {}, 2, 24, 205, 104, kFileList},
             {1008, u"Static", u"Downloading files,please wait...", {}, 3, 134, 152, 8, kLabel},
         }},
        {133, u"Tevorin网络电话", 158, 43, 8, 400, kNoticeStyle, WS_EX_TOPMOST,
         {
             {-1, u"Static", u"软件自动升级中，请稍候。。。", {}, 34, 16, 113, 8, kLabel},
             {1009, u"Static", u"", 128, 8, 9, 21, 20, kHidden | SS_ICON},
         }},
        {137, u"Tevorin", 158, 43, 8, 400, kNoticeStyle, WS_EX_TOPMOST,
         {
             {-1, u"Static", u"Updating,please wait a moment...", {}, 34, 16, 110, 8, kLabel},
             {1009, u"Static", u"", 128, 8, 9, 20, 20, kHidden | SS_ICON},
         }},
    };
    return dialogs;
}

class ProgramTemplates : public ::testing::Test {
protected:
    void SetUp() override { previous_ = InstallResourceTable(&TevorinResourceTable()); }
    void TearDown() override { InstallResourceTable(previous_); }

private:
    const ResourceTable* previous_ = nullptr;
};

TEST_F(ProgramTemplates, HoldExactlyTheProgramsDialogs) {
    std::set<int> ids;
    for (const DialogTemplate& dialog : TevorinResourceTable().dialogs) ids.insert(dialog.id);
    EXPECT_EQ(ids, (std::set<int>{102, 103, 131, 132, 133, 134, 135, 136, 137}));
    EXPECT_EQ(TevorinResourceTable().dialogs.size(), ids.size()) << "no template twice";
}

TEST_F(ProgramTemplates, MatchTheLayoutOfEveryWindow) {
    for (const ExpectedDialog& want : ExpectedDialogs()) {
        SCOPED_TRACE("template " + std::to_string(want.id));
        const DialogTemplate* got = FindDialogTemplate(want.id);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(Utf16ToUtf8(got->caption), Utf16ToUtf8(want.caption));
        EXPECT_EQ(got->x, 0);
        EXPECT_EQ(got->y, 0);
        EXPECT_EQ(got->cx, want.cx);
        EXPECT_EQ(got->cy, want.cy);
        EXPECT_EQ(got->style, want.style) << std::hex << got->style;
        EXPECT_EQ(got->exStyle, want.exStyle) << std::hex << got->exStyle;
        EXPECT_EQ(got->fontFace, u"MS Shell Dlg");
        EXPECT_EQ(got->fontPointSize, want.pointSize);
        EXPECT_EQ(got->fontWeight, want.weight);
        EXPECT_FALSE(got->fontItalic);
        EXPECT_EQ(got->fontCharset, 1);
        EXPECT_EQ(got->style & WS_VISIBLE, 0u) << "every window is created hidden";

        ASSERT_EQ(got->controls.size(), want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const DialogControl& c = got->controls[i];
            const ExpectedControl& w = want.controls[i];
            SCOPED_TRACE("control #" + std::to_string(i + 1) + " (id " + std::to_string(w.id) + ")");
            EXPECT_EQ(c.id, w.id);
            EXPECT_EQ(Utf16ToUtf8(c.className), Utf16ToUtf8(w.className));
            EXPECT_EQ(Utf16ToUtf8(c.text), Utf16ToUtf8(w.text));
            EXPECT_EQ(c.imageResourceId, w.image);
            EXPECT_EQ(c.x, w.x);
            EXPECT_EQ(c.y, w.y);
            EXPECT_EQ(c.cx, w.cx);
            EXPECT_EQ(c.cy, w.cy);
            EXPECT_EQ(c.style, w.style) << std::hex << "got 0x" << c.style << ", want 0x" << w.style;
            EXPECT_EQ(c.exStyle, 0u);
        }
    }
}

TEST_F(ProgramTemplates, PictureControlsNameResourcesThatExist) {
    for (const DialogTemplate& dialog : TevorinResourceTable().dialogs) {
        for (const DialogControl& control : dialog.controls) {
            if (!control.imageResourceId) continue;
            const DWORD kind = control.style & SS_TYPEMASK;
            SCOPED_TRACE("template " + std::to_string(dialog.id));
            if (kind == SS_BITMAP) {
                EXPECT_NE(FindBitmapResource(*control.imageResourceId), nullptr);
            } else {
                EXPECT_EQ(kind, SS_ICON);
                EXPECT_NE(FindIconResource(*control.imageResourceId), nullptr);
            }
        }
    }
}

TEST(ResourceIds, NumberTheTemplatesAndControlsAsTheCodeExpects) {
    const std::pair<int, int> ids[] = {
        {IDD_UPDATE_CHECK_DLG, 102}, {IDD_DOWNLOAD_DLG, 103},        {IDD_DOWNLOAD_DLG_EN, 136},
        {IDD_DOWNLOAD_PAGE1, 131},   {IDD_DOWNLOAD_PAGE1_EN, 134},   {IDD_DOWNLOAD_PAGE2, 132},
        {IDD_DOWNLOAD_PAGE2_EN, 135}, {IDD_UPGRADE_MESSAGE_DLG, 133}, {IDD_UPGRADE_MESSAGE_DLG_EN, 137},
        {IDR_MAINFRAME, 128},        {IDB_BANNER, 129},              {IDB_FILE_STATUS, 130},
        {IDC_PAGE1_TITLE, 1003},     {IDC_DESCRIPTION_EDIT, 1004},   {IDC_PAGE_AREA, 1005},
        {IDC_FILE_LIST, 1006},       {IDC_FILE_LIST_HEADING, 1007},  {IDC_DOWNLOAD_STATUS, 1008},
        {IDC_UPGRADE_ICON, 1009},
    };
    for (size_t i = 0; i < std::size(ids); ++i) {
        EXPECT_EQ(ids[i].first, ids[i].second) << "row " << i;
    }
}

}  // namespace
