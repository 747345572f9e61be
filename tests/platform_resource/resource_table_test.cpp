#include "platform/resource/resource_table.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Installs a table for one test and puts back whatever was installed before.
class ScopedTable {
public:
    explicit ScopedTable(const ResourceTable* table) : previous_(InstallResourceTable(table)) {}
    ~ScopedTable() { InstallResourceTable(previous_); }

private:
    const ResourceTable* previous_;
};

const std::array<std::uint8_t, 3> kBitmapBytes{'B', 'M', 0};
const std::array<std::uint8_t, 2> kIconBytes{0, 0};

ResourceTable SampleTable() {
    ResourceTable table;
    for (auto [id, caption] : {std::pair{103, u"first"}, std::pair{131, u"second"}}) {
        DialogTemplate dialog;
        dialog.id = id;
        dialog.caption = caption;
        table.dialogs.push_back(dialog);
    }
    table.bitmaps.push_back(BinaryResource{.id = 129, .bytes = kBitmapBytes});
    table.icons.push_back(BinaryResource{.id = 128, .bytes = kIconBytes});
    table.manifest = "<assembly/>";
    table.versionInfo.stringTables.push_back(
        {u"080404b0", {{u"FileVersion", u"1.0.0.1"}, {u"ProductName", u"Tevorin"}}});
    table.hasVersionInfo = true;
    return table;
}

TEST(ResourceTable, LooksUpByIdInTheInstalledTable) {
    const ResourceTable table = SampleTable();
    ScopedTable scope(&table);

    ASSERT_NE(FindDialogTemplate(131), nullptr);
    EXPECT_EQ(FindDialogTemplate(131)->caption, u"second");
    ASSERT_NE(FindDialogTemplate(103), nullptr);
    EXPECT_EQ(FindDialogTemplate(103)->caption, u"first");
    EXPECT_EQ(FindDialogTemplate(129), nullptr) << "a bitmap id is no dialog";
    ASSERT_NE(FindBitmapResource(129), nullptr);
    EXPECT_EQ(FindBitmapResource(129)->bytes.data(), kBitmapBytes.data());
    EXPECT_EQ(FindBitmapResource(128), nullptr) << "an icon id is no bitmap";
    ASSERT_NE(FindIconResource(128), nullptr);
    EXPECT_EQ(FindIconResource(128)->bytes.size(), 2u);
    EXPECT_EQ(FindApplicationManifest(), "<assembly/>");
    ASSERT_NE(FindVersionInfo(), nullptr);
    EXPECT_EQ(FindVersionString(*FindVersionInfo(), u"ProductName"), u"Tevorin");
    EXPECT_EQ(FindVersionString(*FindVersionInfo(), u"Comments"), u"");
}

TEST(ResourceTable, NothingIsFoundWithoutATable) {
    ScopedTable scope(nullptr);
    EXPECT_EQ(InstalledResourceTable(), nullptr);
    EXPECT_EQ(FindDialogTemplate(103), nullptr);
    EXPECT_EQ(FindBitmapResource(129), nullptr);
    EXPECT_EQ(FindIconResource(128), nullptr);
    EXPECT_TRUE(FindApplicationManifest().empty());
    EXPECT_EQ(FindVersionInfo(), nullptr);
}

TEST(ResourceTable, InstallingReturnsThePreviousTable) {
    const ResourceTable first = SampleTable();
    ResourceTable second;
    ScopedTable scope(&first);
    EXPECT_EQ(InstallResourceTable(&second), &first);
    EXPECT_EQ(FindDialogTemplate(103), nullptr) << "the second table has no dialogs";
    EXPECT_EQ(FindVersionInfo(), nullptr) << "the second table has no version resource";
    EXPECT_EQ(InstallResourceTable(&first), &second);
    EXPECT_NE(FindDialogTemplate(103), nullptr);
}

TEST(DialogControlClass, ComparesClassNamesIgnoringAsciiCase) {
    struct Case {
        std::u16string written;
        std::u16string asked;
        bool same;
    };
    const Case cases[] = {
        {u"Button", u"BUTTON", true},   {u"SysListView32", u"syslistview32", true},
        {u"Static", u"Static", true},   {u"Edit", u"Edit1", false},
        {u"Edit", u"Edi", false},       {u"Static", u"Button", false},
        {u"", u"", true},               {u"\u00c9dit", u"\u00e9dit", false},
    };
    for (const Case& c : cases) {
        DialogControl control;
        control.className = c.written;
        EXPECT_EQ(IsDialogControlClass(control, c.asked), c.same)
            << "class written as " << std::string(c.written.begin(), c.written.end());
    }
}

}  // namespace
