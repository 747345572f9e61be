#include "install/install_update_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/scratch_dir.h"

namespace {

using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WaitForFile;
using tevorin_test::WriteFile;

UpdateFileEntry MakeEntry(std::u16string_view filename, std::u16string_view localdir,
                          std::u16string_view regist = u"") {
    UpdateFileEntry entry{};
    CopyToSlot(entry.filename, filename);
    CopyToSlot(entry.localdir, localdir);
    CopyToSlot(entry.regist, regist);
    CopyToSlot(entry.src, u"http://127.0.0.1/files/x");
    return entry;
}

std::string Content(const std::string& path) {
    std::string content;
    return ReadFile(path, content) ? content : "<missing>";
}

// An installation directory, a download directory and a system directory,
// with a stand-in registration program in the system directory that records
// its arguments in reg/<name of the registered file>.reg.
class InstallUpdateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.Valid());
        for (const char* dir : {"install", "upgrade", "system", "reg"}) {
            ASSERT_EQ(mkdir((root_ / dir).c_str(), 0755), 0);
        }
        if (const char* old = std::getenv("TEVORIN_SYSTEM_DIR")) savedSystemDir_ = old;
        setenv("TEVORIN_SYSTEM_DIR", (root_ / "system").c_str(), 1);
        ASSERT_TRUE(WriteFile(root_ / "system/regsvr32",
                              "#!/bin/sh\nfor last in \"$@\"; do :; done\n"
                              "out='" + (root_ / "reg") + "'/\"${last##*/}\".reg\n"
                              "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
                              "/bin/mv \"$out.part\" \"$out\"\n",
                              0755));
    }
    void TearDown() override {
        if (savedSystemDir_) {
            setenv("TEVORIN_SYSTEM_DIR", savedSystemDir_->c_str(), 1);
        } else {
            unsetenv("TEVORIN_SYSTEM_DIR");
        }
    }

    // A program that registers itself records its own path and arguments.
    std::string SelfRegisteringProgram() const {
        return "#!/bin/sh\nout='" + (root_ / "reg") + "'/\"${0##*/}\".reg\n"
               "{ printf '%s\\n' \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
               "/bin/mv \"$out.part\" \"$out\"\n";
    }

    std::string Path(const std::string& relative) const { return root_ / relative; }
    std::u16string InstallDir() const { return U16(root_ / "install/"); }
    std::u16string UpgradeDir() const { return U16(root_ / "upgrade/"); }

    ScratchDir root_;
    std::optional<std::string> savedSystemDir_;
};

TEST_F(InstallUpdateFileTest, PutsEachFileWhereItsLocaldirSays) {
    ASSERT_EQ(mkdir(Path("install/skins").c_str(), 0755), 0);
    struct Case {
        std::u16string localdir;
        std::string filename;
        bool expected;
        std::string destination;  // relative to the test's root; empty when refused
    };
    const Case cases[] = {
        {u"", "Tevorin.exe", true, "install/Tevorin.exe"},
        {u"[SYSTEM]", "shared.dll", true, "system/shared.dll"},
        {u"[system]", "lower.dll", true, "install/[system]/lower.dll"},
        {u" [SYSTEM] ", "blank.dll", true, "install/ [SYSTEM] /blank.dll"},
        {u"plugins", "p.dll", true, "install/plugins/p.dll"},
        {u"skins\\blue", "b.png", true, "install/skins/blue/b.png"},
        {u"skins/red", "r.png", true, "install/skins/red/r.png"},
        {u"语言", "zh.ini", true, "install/语言/zh.ini"},
        {u"themes\\dark", "d.png", false, ""},   // parent missing
        {u"..\\escape", "e.dll", false, ""},
        {u"skins/../../escape", "e2.dll", false, ""},
        {U16(root_ / "escape"), "abs.dll", false, ""},
        {u"C:\\escape", "drive.dll", false, ""},
        {u"", "../escape.dll", false, ""},
        {u"plugins", "..", false, ""},
    };
    for (const Case& c : cases) {
        const std::string label = "file " + c.filename;
        const std::string source = Path("upgrade/") + c.filename;
        const bool sourceWritable = c.filename.find('/') == std::string::npos && c.filename != "..";
        if (sourceWritable) {
            ASSERT_TRUE(WriteFile(source, "content of " + c.filename)) << label;
        }
        EXPECT_EQ(InstallUpdateFile(MakeEntry(U16(c.filename), c.localdir), UpgradeDir(), InstallDir()),
                  c.expected)
            << label;
        if (c.expected) {
            EXPECT_EQ(Content(Path(c.destination)), "content of " + c.filename) << label;
            EXPECT_FALSE(Exists(source)) << label << ": the download is removed";
        } else if (sourceWritable) {
            EXPECT_TRUE(Exists(source)) << label << ": the download stays";
        }
    }
    // Nothing was created beside the four directories of the test.
    for (const char* outside : {"escape", "escape.dll", "themes"}) {
        EXPECT_FALSE(Exists(Path(outside))) << outside;
        EXPECT_FALSE(Exists(Path(std::string("install/") + outside))) << outside;
    }
}

TEST_F(InstallUpdateFileTest, ReplacesAReadOnlyFile) {
    ASSERT_TRUE(WriteFile(Path("install/Tevorin.exe"), "old version", 0444));
    ASSERT_TRUE(WriteFile(Path("upgrade/Tevorin.exe"), "new version"));
    EXPECT_TRUE(InstallUpdateFile(MakeEntry(u"Tevorin.exe", u""), UpgradeDir(), InstallDir()));
    EXPECT_EQ(Content(Path("install/Tevorin.exe")), "new version");
}

TEST_F(InstallUpdateFileTest, MissingDownloadFailsAfterResettingTheDestination) {
    ASSERT_TRUE(WriteFile(Path("install/gone.dll"), "installed", 0444));
    EXPECT_FALSE(InstallUpdateFile(MakeEntry(u"gone.dll", u""), UpgradeDir(), InstallDir()));
    EXPECT_EQ(Content(Path("install/gone.dll")), "installed");
    struct stat info {};
    ASSERT_EQ(stat(Path("install/gone.dll").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IWUSR, 0u);
}

TEST_F(InstallUpdateFileTest, TooLongSystemDirectoryIsNotCutShort) {
    const std::string longDir = root_ / std::string(300, 's');
    setenv("TEVORIN_SYSTEM_DIR", longDir.c_str(), 1);
    ASSERT_TRUE(WriteFile(Path("upgrade/shared.dll"), "x"));
    EXPECT_FALSE(InstallUpdateFile(MakeEntry(u"shared.dll", u"[SYSTEM]"), UpgradeDir(), InstallDir()));
    EXPECT_TRUE(Exists(Path("upgrade/shared.dll")));
}

TEST_F(InstallUpdateFileTest, RegistersWhenAskedWithTheRightCommand) {
    struct Case {
        std::string filename;
        std::u16string regist;
        bool program;          // the file is a script that registers itself when run
        std::string recorded;  // lines the registration recorded; empty: no registration
    };
    const std::string installed = Path("install/");
    const Case cases[] = {
        {"Codec.dll", u" TRUE ", false, "/s\n" + installed + "Codec.dll\n"},
        {"Tool.EXE", u"true", true, installed + "Tool.EXE\n/regserver\n"},
        {"runexe", u"True", true, installed + "runexe\n/regserver\n"},
        {"Plain.dll", u"yes", false, ""},
        {"Empty.dll", u"", false, ""},
        {"Skip.exe", u"false", true, ""},
        {"Tru.dll", u"tru", false, ""},
    };
    for (const Case& c : cases) {
        const std::string content = c.program ? SelfRegisteringProgram() : "library " + c.filename;
        ASSERT_TRUE(WriteFile(Path("upgrade/") + c.filename, content));
        EXPECT_TRUE(InstallUpdateFile(MakeEntry(U16(c.filename), u"", c.regist), UpgradeDir(),
                                      InstallDir()))
            << c.filename;
        EXPECT_FALSE(Exists(Path("upgrade/") + c.filename)) << c.filename;
    }
    for (const Case& c : cases) {
        if (c.recorded.empty()) continue;
        const std::string record = Path("reg/") + c.filename + ".reg";
        ASSERT_TRUE(WaitForFile(record)) << c.filename;
        EXPECT_EQ(Content(record), c.recorded) << c.filename;
    }
    // Registrations run on their own; give any wrongly started one time to show.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const Case& c : cases) {
        if (!c.recorded.empty()) continue;
        EXPECT_FALSE(Exists(Path("reg/") + c.filename + ".reg")) << c.filename;
    }
}

}  // namespace
