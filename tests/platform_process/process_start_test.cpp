#include "platform/process/process_start.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "support/scratch_dir.h"
#include "support/small_disk.h"

namespace {

using tevorin_test::ArgumentRecorderScript;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WaitForFile;
using tevorin_test::WriteFile;

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

std::string Lines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// Nothing that was started may stay behind as an uncollected child of ours.
void ExpectNoChildren() {
    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(WinExec, PassesArgumentsUnchangedWithoutAShell) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string output = dir / "args.txt";
    const std::string script = dir / "rec ord.exe";
    ASSERT_TRUE(WriteFile(script, ArgumentRecorderScript(output), 0755));
    const std::string marker = dir / "marker";

    const std::string command = "\"" + script + "\" /regserver \"a;b\" $(touch " + marker +
                                ") `touch " + marker + "` \"x > y\" | * \\\"q\\\" 'single'";
    EXPECT_GT(WinExec(command.c_str(), SW_HIDE), 31u);
    ASSERT_TRUE(WaitForFile(output));
    std::string got;
    ASSERT_TRUE(ReadFile(output, got));
    EXPECT_EQ(got, Lines({"/regserver", "a;b", "$(touch", marker + ")", "`touch", marker + "`",
                          "x > y", "|", "*", "\"q\"", "'single'", CurrentDirectory()}));
    EXPECT_FALSE(tevorin_test::Exists(marker));
    ExpectNoChildren();
}

TEST(WinExec, ReadsTheCommandLineInTheAnsiCodePage) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string output = dir / "args.txt";
    // On disk the names are UTF-8; the command arrives in GBK, where the
    // second byte of 乗 is a backslash.
    ASSERT_TRUE(WriteFile(dir / "通.exe", ArgumentRecorderScript(output), 0755));
    ScopedEnv codePage("TEVORIN_ACP", "GBK");
    const std::string command = "\"" + dir.Path() + "\xCD\xA8.exe\" \"\x81\x5C\" x";
    EXPECT_GT(WinExec(command.c_str(), SW_HIDE), 31u);
    ASSERT_TRUE(WaitForFile(output));
    std::string got;
    ASSERT_TRUE(ReadFile(output, got));
    EXPECT_EQ(got, Lines({"乗", "x", CurrentDirectory()}));
}

TEST(WinExec, FindsBareProgramNamesInSystemDirectoryThenPath) {
    ScratchDir system;
    ScratchDir path;
    ASSERT_TRUE(system.Valid() && path.Valid());
    const std::string fromSystem = system / "out-system.txt";
    const std::string fromPath = path / "out-path.txt";
    ASSERT_TRUE(WriteFile(system / "tvreg", ArgumentRecorderScript(fromSystem), 0755));
    ASSERT_TRUE(WriteFile(system / "tvreg.note", "not a program", 0644));
    ASSERT_TRUE(WriteFile(path / "tvreg", ArgumentRecorderScript(fromPath), 0755));
    ASSERT_TRUE(WriteFile(path / "tvonlypath", ArgumentRecorderScript(fromPath), 0755));
    ScopedEnv systemDir("TEVORIN_SYSTEM_DIR", system.Path());
    ScopedEnv searchPath("PATH", path.Path() + ":/usr/bin:/bin");

    EXPECT_GT(WinExec("tvreg /s x", SW_HIDE), 31u);
    ASSERT_TRUE(WaitForFile(fromSystem));
    EXPECT_FALSE(tevorin_test::Exists(fromPath));

    EXPECT_GT(WinExec("tvonlypath y", SW_HIDE), 31u);
    ASSERT_TRUE(WaitForFile(fromPath));
    std::string got;
    ASSERT_TRUE(ReadFile(fromPath, got));
    EXPECT_EQ(got, Lines({"y", CurrentDirectory()}));
    ExpectNoChildren();
}

TEST(WinExec, ReportsWhatCouldNotBeStarted) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "plain.exe", "#!/bin/sh\nexit 0\n", 0644));
    ASSERT_TRUE(WriteFile(dir / "garbage.exe", "neither binary nor script", 0755));
    ScopedEnv searchPath("PATH", dir.Path());
    struct Case {
        std::string commandLine;
        UINT expected;
    };
    const Case cases[] = {
        {"", ERROR_FILE_NOT_FOUND},
        {"   ", ERROR_FILE_NOT_FOUND},
        {"\"\" x", ERROR_FILE_NOT_FOUND},
        {"tv-no-such-program-anywhere", ERROR_FILE_NOT_FOUND},
        {"\"" + (dir / "missing.exe") + "\"", ERROR_FILE_NOT_FOUND},
        {"\"" + (dir / "missing/x.exe") + "\"", ERROR_FILE_NOT_FOUND},
        {"\"" + (dir / "plain.exe/x.exe") + "\"", ERROR_PATH_NOT_FOUND},
        {"\"" + (dir / "plain.exe") + "\"", ERROR_ACCESS_DENIED},
        {"\"" + (dir / "garbage.exe") + "\"", ERROR_BAD_FORMAT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinExec(c.commandLine.c_str(), SW_HIDE), c.expected) << "command: " << c.commandLine;
    }
    EXPECT_EQ(WinExec(nullptr, SW_HIDE), ERROR_FILE_NOT_FOUND);
    ExpectNoChildren();
}

TEST(ShellExecute, StartsProgramsWithParametersInTheirDirectory) {
    ScratchDir dir;
    ScratchDir work;
    ASSERT_TRUE(dir.Valid() && work.Valid());
    const std::string output = dir / "args.txt";
    const std::string script = dir / "Setup Program.exe";
    ASSERT_TRUE(WriteFile(script, ArgumentRecorderScript(output), 0755));

    const INT_PTR result = ShellExecuteW(nullptr, u"open", U16(script).c_str(),
                                         u"/quiet \"two words\" a;b", U16(work.Path()).c_str(),
                                         SW_SHOW);
    EXPECT_GT(result, 32);
    ASSERT_TRUE(WaitForFile(output));
    std::string got;
    ASSERT_TRUE(ReadFile(output, got));
    std::string workDir = work.Path();
    workDir.pop_back();
    EXPECT_EQ(got, Lines({"/quiet", "two words", "a;b", workDir}));
    ExpectNoChildren();
}

TEST(ShellExecute, EmptyParametersAndDirectoryStartInTheCurrentDirectory) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string output = dir / "args.txt";
    const std::string script = dir / "Tevorin.exe";
    ASSERT_TRUE(WriteFile(script, ArgumentRecorderScript(output), 0755));
    EXPECT_GT(ShellExecuteW(nullptr, u"open", U16(script).c_str(), u"", u"", SW_SHOW), 32);
    ASSERT_TRUE(WaitForFile(output));
    std::string got;
    ASSERT_TRUE(ReadFile(output, got));
    EXPECT_EQ(got, Lines({CurrentDirectory()}));
}

TEST(ShellExecute, StartsDownloadedProgramsWithoutExecutePermission) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string output = dir / "args.txt";
    const std::string setup = dir / "setup.exe";
    ASSERT_TRUE(WriteFile(setup, ArgumentRecorderScript(output), 0644));
    EXPECT_GT(ShellExecuteW(nullptr, u"open", U16(setup).c_str(), u"", u"", SW_SHOW), 32);
    ASSERT_TRUE(WaitForFile(output));
    struct stat info {};
    ASSERT_EQ(stat(setup.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
}

TEST(ShellExecute, ProgramsWhereNothingMayRunAreRefused) {
    tevorin_test::SmallDisk disk(64 * 1024, MS_NOEXEC);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    ASSERT_TRUE(WriteFile(disk / "setup.exe", "#!/bin/sh\nexit 0\n", 0755));
    EXPECT_EQ(ShellExecuteW(nullptr, u"open", U16(disk / "setup.exe").c_str(), u"", u"", SW_SHOW),
              SE_ERR_ACCESSDENIED);
    EXPECT_EQ(WinExec(("\"" + (disk / "setup.exe") + "\"").c_str(), SW_HIDE), ERROR_ACCESS_DENIED);
    ExpectNoChildren();
}

TEST(ShellExecute, HandsAddressesAndDocumentsToTheDesktopOpener) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "readme.txt", "a document", 0644));
    ASSERT_TRUE(WriteFile(dir / "notes.exe", "not a program at all", 0755));
    ScopedEnv searchPath("PATH", dir.Path());
    struct Case {
        std::string target;
    };
    const Case cases[] = {
        {"http://127.0.0.1/download"},
        {"https://127.0.0.1/download?a=1&b=$(x);c"},
        {"mailto:someone@127.0.0.1"},
        {dir / "readme.txt"},
        {dir / "notes.exe"},
        {dir.Path()},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string output = dir / ("opened-" + std::to_string(round++) + ".txt");
        ASSERT_TRUE(WriteFile(dir / "xdg-open", ArgumentRecorderScript(output), 0755));
        EXPECT_GT(ShellExecuteW(nullptr, u"open", U16(c.target).c_str(), nullptr, nullptr, SW_SHOW), 32)
            << "target: " << c.target;
        ASSERT_TRUE(WaitForFile(output)) << "target: " << c.target;
        std::string got;
        ASSERT_TRUE(ReadFile(output, got));
        EXPECT_EQ(got, Lines({c.target, CurrentDirectory()})) << "target: " << c.target;
    }
    ExpectNoChildren();
}

TEST(ShellExecute, ReportsWhatCouldNotBeOpened) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "script.exe", "#!/bin/sh\nexit 0\n", 0755));
    ScopedEnv searchPath("PATH", dir.Path());  // no desktop opener on it
    struct Case {
        const char16_t* verb;
        std::string file;
        std::string directory;
        INT_PTR expected;
    };
    const Case cases[] = {
        {u"open", dir / "missing.exe", "", SE_ERR_FNF},
        {u"open", dir / "missing/x.exe", "", SE_ERR_FNF},
        {u"open", dir / "script.exe/x", "", SE_ERR_PNF},
        {u"open", "", "", SE_ERR_FNF},
        {u"open", "tv-no-such-program-anywhere", "", SE_ERR_FNF},
        {u"print", dir / "script.exe", "", SE_ERR_NOASSOC},
        {u"open", dir / "script.exe", dir / "no-such-dir", SE_ERR_FNF},
        {u"open", "http://127.0.0.1/download", "", SE_ERR_NOASSOC},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShellExecuteW(nullptr, c.verb, U16(c.file).c_str(), u"",
                                U16(c.directory).c_str(), SW_SHOW),
                  c.expected)
            << "file: " << c.file;
    }
    EXPECT_EQ(ShellExecuteW(nullptr, u"open", nullptr, nullptr, nullptr, SW_SHOW), SE_ERR_FNF);
    ExpectNoChildren();
}

}  // namespace
