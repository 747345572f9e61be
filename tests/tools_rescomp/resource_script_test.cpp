// A script that uses every form the compiler reads, checked against the
// values it must give.

#include <gtest/gtest.h>

#include <string>

#include "platform/core/text.h"
#include "platform/core/window_styles.h"
#include "tools/rescomp/resource_script.h"

namespace {

const std::string kGoodDir = std::string(TEVORIN_TEST_DATA_DIR) + "/rescomp/good";

struct ExpectedControl {
    int id;
    std::u16string className;
    std::u16string text;
    std::optional<int> image;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

void ExpectControls(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size()) << "dialog " << dialog.id;
    for (size_t i = 0; i < expected.size(); ++i) {
        const DialogControl& got = dialog.controls[i];
        const ExpectedControl& want = expected[i];
        SCOPED_TRACE("dialog " + std::to_string(dialog.id) + ", control #" + std::to_string(i + 1));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(Utf16ToUtf8(got.className), Utf16ToUtf8(want.className));
        EXPECT_EQ(Utf16ToUtf8(got.text), Utf16ToUtf8(want.text));
        EXPECT_EQ(got.imageResourceId, want.image);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style) << std::hex << "got 0x" << got.style << ", want 0x" << want.style;
        EXPECT_EQ(got.exStyle, want.exStyle);
    }
}

class SampleScript : public ::testing::Test {
protected:
    void SetUp() override {
        result_ = CompileResourceScript(kGoodDir + "/sample.rc", {});
        ASSERT_TRUE(result_.ok) << result_.error;
    }
    const DialogTemplate* Dialog(int id) const {
        for (const DialogTemplate& d : result_.script.dialogs) {
            if (d.id == id) return &d;
        }
        return nullptr;
    }
    CompileResult result_;
};

TEST_F(SampleScript, ReadsTheDialogHeader) {
    ASSERT_EQ(result_.script.dialogs.size(), 3u);
    const DialogTemplate* d = Dialog(100);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Utf16ToUtf8(d->caption), "Erster \"Dialog\"");
    EXPECT_EQ(d->x, 10);
    EXPECT_EQ(d->y, -20);
    EXPECT_EQ(d->cx, 200);
    EXPECT_EQ(d->cy, 100);
    EXPECT_EQ(d->style, DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(d->exStyle, WS_EX_TOPMOST | WS_EX_APPWINDOW);
    EXPECT_EQ(Utf16ToUtf8(d->fontFace), "MS Shell Dlg");
    EXPECT_EQ(d->fontPointSize, 8);
    EXPECT_EQ(d->fontWeight, 700);
    EXPECT_TRUE(d->fontItalic);
    EXPECT_EQ(d->fontCharset, 0x86);
}

TEST_F(SampleScript, ReadsEveryControlFormWithItsDefaultStyles) {
    const DialogTemplate* d = Dialog(100);
    ASSERT_NE(d, nullptr);
    ExpectControls(*d, {
        {-1, u"Static", u"left\ttab", {}, 1, 2, 30, 8, kChild | SS_LEFT | WS_GROUP, 0},
        {-1, u"Static", u"centre", {}, 1, 12, 30, 8, kChild | SS_CENTER, 0},
        {-1, u"Static", u"right", {}, 1, 22, 30, 8, kChild | SS_RIGHT | WS_GROUP | SS_NOPREFIX,
         WS_EX_STATICEDGE},
        {IDOK, u"Button", u"&Push", {}, 1, 32, 40, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {IDCANCEL, u"Button", u"Default", {}, 45, 32, 40, 14, kChild | BS_DEFPUSHBUTTON, 0},
        {0x3F2, u"Button", u"Group", {}, 1, 50, 100, 40, kChild | BS_GROUPBOX, 0},
        {2001, u"Button", u"Check", {}, 5, 60, 40, 10, kChild | BS_CHECKBOX | WS_TABSTOP, 0},
        {2002, u"Button", u"Auto check", {}, 5, 70, 40, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {2003, u"Button", u"Radio", {}, 50, 60, 40, 10, kChild | BS_RADIOBUTTON, 0},
        {2004, u"Button", u"Auto radio", {}, 50, 70, 40, 10, kChild | BS_AUTORADIOBUTTON, 0},
        {1001, u"Edit", u"", {}, 110, 50, 80, 12, kChild | ES_AUTOHSCROLL | WS_TABSTOP,
         WS_EX_CLIENTEDGE},
        {2005, u"SysListView32", u"", {}, 110, 64, 80, 30, kChild | LVS_REPORT | WS_BORDER, 0},
        {-1, u"Static", u"", 7, 3, -4, 7, 15, WS_CHILD | SS_BITMAP, 0},
        {2006, u"MyClass", u"line one\nline two \\ \"quoted\"", {}, 0, 0, 1, 1, kChild, 0},
    });
}

TEST_F(SampleScript, AppliesTheDefaultsOfDialogsWithoutStyleOrFont) {
    const DialogTemplate* second = Dialog(101);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->caption, u"\u4e2d\u6587 \U0001F600");
    EXPECT_EQ(second->style, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION);
    EXPECT_TRUE(second->fontFace.empty());
    EXPECT_TRUE(second->controls.empty());

    const DialogTemplate* third = Dialog(102);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->style, WS_POPUP | WS_BORDER | WS_SYSMENU);
    ExpectControls(*third, {{3000, u"button", u"x", {}, 1, 1, 10, 10,
                             kChild | BS_AUTOCHECKBOX | WS_TABSTOP, WS_EX_TRANSPARENT}});
}

TEST_F(SampleScript, ReadsPicturesAndManifestFromFilesNextToTheScript) {
    ASSERT_EQ(result_.script.bitmaps.size(), 1u);
    EXPECT_EQ(result_.script.bitmaps[0].id, 7);
    EXPECT_EQ(result_.script.bitmaps[0].bytes.size(), 54u + 2 * 8);
    EXPECT_EQ(result_.script.bitmaps[0].bytes[0], 'B');
    ASSERT_EQ(result_.script.icons.size(), 1u);
    EXPECT_EQ(result_.script.icons[0].id, 8);
    ASSERT_TRUE(result_.script.manifest.has_value());
    const std::string manifest(result_.script.manifest->bytes.begin(), result_.script.manifest->bytes.end());
    EXPECT_EQ(manifest, "<?xml version=\"1.0\"?>\n<assembly manifestVersion=\"1.0\"/>\n");
}

TEST_F(SampleScript, ReadsTheVersionResource) {
    ASSERT_TRUE(result_.script.versionInfo.has_value());
    const VersionInfo& v = *result_.script.versionInfo;
    EXPECT_EQ(v.fileVersion, (std::array<WORD, 4>{2, 5, 0, 0}));
    EXPECT_EQ(v.productVersion, (std::array<WORD, 4>{3, 4, 5, 6}));
    EXPECT_EQ(v.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(v.fileFlags, 0x3u);
    EXPECT_EQ(v.fileOS, 0x40004u);
    EXPECT_EQ(v.fileType, 2u);
    EXPECT_EQ(v.fileSubtype, 0u);
    ASSERT_EQ(v.stringTables.size(), 2u);
    EXPECT_EQ(v.stringTables[0].languageAndCodePage, u"040904b0");
    EXPECT_EQ(FindVersionString(v, u"FileDescription"), u"\u793a\u4f8b");
    EXPECT_EQ(FindVersionString(v, u"ProductName"), u"Sample") << "the first table that has it";
    EXPECT_EQ(v.stringTables[1].values.at(0).second, u"\u6837\u4f8b");
    const std::vector<std::pair<WORD, WORD>> translations{{0x409, 1200}, {0x804, 1200}};
    EXPECT_EQ(v.translations, translations);
}

TEST_F(SampleScript, ListsEveryFileItRead) {
    std::vector<std::string> names;
    for (const std::string& path : result_.script.inputFiles) {
        names.push_back(path.substr(path.find_last_of('/') + 1));
    }
    const std::vector<std::string> expected{"sample.rc", "sample_ids.h", "sample_ids.h",
                                            "tiny.bmp", "tiny.ico", "sample.manifest"};
    EXPECT_EQ(names, expected);
}

}  // namespace
