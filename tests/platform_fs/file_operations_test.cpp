#include "platform/fs/file_operations.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/scratch_dir.h"
#include "support/small_disk.h"

namespace {

using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WriteFile;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

std::string Content(const std::string& path) {
    std::string content;
    return ReadFile(path, content) ? content : "<missing>";
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != "lost+found") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CreateDirectory, CreatesOneLevel) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "file", "x"));
    struct Case {
        std::string path;
        BOOL expected;
    };
    const Case cases[] = {
        {dir / "new", TRUE},
        {dir / "with slash/", TRUE},
        {dir / "插件", TRUE},
        {dir / "new", FALSE},           // exists already
        {dir / "file", FALSE},          // a file of that name
        {dir / "a/b", FALSE},           // parent missing
        {"", FALSE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CreateDirectoryW(U16(c.path).c_str(), nullptr), c.expected) << "path: " << c.path;
    }
    EXPECT_EQ(CreateDirectoryW(u"/tmp/\xD800", nullptr), FALSE);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"file", "new", "with slash", "插件"}));
}

TEST(DeleteFile, DeletesFilesOnly) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "file", "x"));
    ASSERT_TRUE(WriteFile(dir / "readonly", "x", 0444));
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    struct Case {
        std::string path;
        BOOL expected;
    };
    const Case cases[] = {
        {dir / "file", TRUE},
        {dir / "file", FALSE},
        {dir / "readonly", TRUE},
        {dir / "sub", FALSE},
        {dir / "missing/x", FALSE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeleteFileW(U16(c.path).c_str()), c.expected) << "path: " << c.path;
    }
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"sub"}));
}

TEST(SetFileAttributes, NormalMakesReadOnlyFilesWritable) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    struct Case {
        const char* name;
        mode_t before;
        DWORD attributes;
        mode_t after;
        bool readOnlyAfter;
    };
    const Case cases[] = {
        {"read-only to normal", 0444, FILE_ATTRIBUTE_NORMAL, 0644, false},
        {"normal stays", 0640, FILE_ATTRIBUTE_NORMAL, 0640, false},
        {"program keeps execute", 0555, FILE_ATTRIBUTE_NORMAL, 0755, false},
        {"to read-only", 0664, FILE_ATTRIBUTE_READONLY, 0444, true},
    };
    for (const Case& c : cases) {
        const std::string path = dir / c.name;
        ASSERT_TRUE(WriteFile(path, "x", c.before));
        EXPECT_EQ(SetFileAttributesW(U16(path).c_str(), c.attributes), TRUE) << c.name;
        EXPECT_EQ(ModeOf(path), c.after) << c.name;
        EXPECT_EQ(IsReadOnlyFile(U16(path).c_str()), c.readOnlyAfter) << c.name;
    }
    EXPECT_EQ(SetFileAttributesW(U16(dir / "missing").c_str(), FILE_ATTRIBUTE_NORMAL), FALSE);
    EXPECT_FALSE(IsReadOnlyFile(U16(dir / "missing").c_str()));
}

TEST(CopyFile, CopiesReplacesAndRefuses) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "src", "new content"));
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    struct Case {
        const char* name;
        std::string source;
        std::string existing;  // content already at the destination; empty for none
        mode_t existingMode;
        BOOL failIfExists;
        BOOL expected;
        std::string destinationAfter;
    };
    const Case cases[] = {
        {"to a new name", dir / "src", "", 0, FALSE, TRUE, "new content"},
        {"over an old file", dir / "src", "old", 0644, FALSE, TRUE, "new content"},
        {"over a larger old file", dir / "src", std::string(100000, 'o'), 0644, FALSE, TRUE, "new content"},
        {"not over an existing file when asked", dir / "src", "old", 0644, TRUE, FALSE, "old"},
        {"new name when asked not to replace", dir / "src", "", 0, TRUE, TRUE, "new content"},
        {"read-only destination is refused", dir / "src", "old", 0444, FALSE, FALSE, "old"},
        {"missing source", dir / "missing", "old", 0644, FALSE, FALSE, "old"},
        {"directory as source", dir / "folder", "old", 0644, FALSE, FALSE, "old"},
    };
    int round = 0;
    for (const Case& c : cases) {
        const std::string destination = dir / ("dst" + std::to_string(round++));
        if (!c.existing.empty()) {
            ASSERT_TRUE(WriteFile(destination, c.existing, c.existingMode));
        }
        EXPECT_EQ(CopyFileW(U16(c.source).c_str(), U16(destination).c_str(), c.failIfExists),
                  c.expected)
            << c.name;
        EXPECT_EQ(Content(destination), c.destinationAfter.empty() ? "<missing>" : c.destinationAfter)
            << c.name;
    }
    // Destinations that cannot take a file.
    EXPECT_EQ(CopyFileW(U16(dir / "src").c_str(), U16(dir / "folder").c_str(), FALSE), FALSE);
    EXPECT_EQ(CopyFileW(U16(dir / "src").c_str(), U16(dir / "no-dir/x").c_str(), FALSE), FALSE);
    EXPECT_EQ(CopyFileW(nullptr, U16(dir / "x").c_str(), FALSE), FALSE);
    // Nothing of the temporary copies stays behind, whatever the outcome.
    std::vector<std::string> expected{"folder", "src"};
    for (int i = 0; i < round; ++i) {
        if (Exists(dir / ("dst" + std::to_string(i)))) expected.push_back("dst" + std::to_string(i));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.Path()), expected);
}

TEST(CopyFile, ProgramsBecomeExecutable) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    struct Case {
        const char* name;
        std::string content;
        mode_t sourceMode;
        mode_t expected;
    };
    const Case cases[] = {
        {"binary program", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(64, '\0'), 0644, 0755},
        {"script", "#!/bin/sh\necho hi\n", 0644, 0755},
        {"script readable by owner only", "#!/bin/sh\n", 0600, 0700},
        {"library data", "MZ\x90\x00 not a program here", 0644, 0644},
        {"almost a script", "#/bin/sh\n", 0640, 0640},
        {"short file", "#", 0644, 0644},
        {"empty file", "", 0644, 0644},
        {"executable data keeps its mode", "data", 0755, 0755},
    };
    for (const Case& c : cases) {
        const std::string source = dir / (std::string("src-") + c.name);
        const std::string destination = dir / (std::string("dst-") + c.name);
        ASSERT_TRUE(WriteFile(source, c.content, c.sourceMode));
        ASSERT_EQ(CopyFileW(U16(source).c_str(), U16(destination).c_str(), FALSE), TRUE) << c.name;
        EXPECT_EQ(ModeOf(destination), c.expected) << c.name;
        EXPECT_EQ(Content(destination), c.content) << c.name;
    }
}

TEST(CopyFile, FullDiskKeepsTheOldFile) {
    tevorin_test::SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string source = dir / "big.dll";
    ASSERT_TRUE(WriteFile(source, std::string(200 * 1024, 'n')));
    const std::string destination = disk / "big.dll";
    ASSERT_TRUE(WriteFile(destination, "old version"));

    EXPECT_EQ(CopyFileW(U16(source).c_str(), U16(destination).c_str(), FALSE), FALSE);
    EXPECT_EQ(Content(destination), "old version");
    EXPECT_EQ(Names(disk.Path()), (std::vector<std::string>{"big.dll"}));
}

TEST(Access, TestsExistenceAndPermissions) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "file", "x"));
    struct Case {
        std::string path;
        int mode;
        int expected;
    };
    const Case cases[] = {
        {dir / "file", 0, 0},     {dir / "file", 2, 0},      {dir / "file", 4, 0},
        {dir / "file", 6, 0},     {dir / "missing", 0, -1},  {dir / "missing", 4, -1},
        {dir / "file", 1, -1},    {dir / "file", 7, -1},     {dir.Path(), 0, 0},
        {"", 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(_waccess(U16(c.path).c_str(), c.mode), c.expected)
            << "path: " << c.path << " mode " << c.mode;
    }
}

TEST(Rename, NeverReplacesAnExistingName) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(WriteFile(dir / "a.tmp", "downloaded"));
    ASSERT_TRUE(WriteFile(dir / "taken", "held"));
    ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
    struct Case {
        std::string from;
        std::string to;
        int expected;
    };
    const Case cases[] = {
        {dir / "a.tmp", dir / "taken", -1},
        {dir / "a.tmp", dir / "a", 0},
        {dir / "a.tmp", dir / "b", -1},  // gone already
        {dir / "folder", dir / "moved", 0},
        {dir / "a", dir / "moved", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(_wrename(U16(c.from).c_str(), U16(c.to).c_str()), c.expected)
            << c.from << " -> " << c.to;
    }
    EXPECT_EQ(Content(dir / "taken"), "held");
    EXPECT_EQ(Content(dir / "a"), "downloaded");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a", "moved", "taken"}));
}

TEST(SystemDirectory, ComesFromTheEnvironment) {
    struct Case {
        const char* value;  // null: unset
        std::u16string expected;
    };
    const Case cases[] = {
        {nullptr, u"/usr/local/lib"},
        {"", u"/usr/local/lib"},
        {"/opt/tevorin/system", u"/opt/tevorin/system"},
        {"/opt/sys//", u"/opt/sys"},
        {"/", u"/"},
        {"/系统", u"/系统"},
    };
    const char* saved = std::getenv("TEVORIN_SYSTEM_DIR");
    const std::string restore = saved != nullptr ? saved : "";
    for (const Case& c : cases) {
        if (c.value == nullptr) {
            unsetenv("TEVORIN_SYSTEM_DIR");
        } else {
            setenv("TEVORIN_SYSTEM_DIR", c.value, 1);
        }
        char16_t buffer[256] = {};
        const UINT length = GetSystemDirectoryW(buffer, 256);
        EXPECT_EQ(length, c.expected.size()) << "value: " << (c.value ? c.value : "(unset)");
        EXPECT_EQ(std::u16string(buffer), c.expected) << "value: " << (c.value ? c.value : "(unset)");
    }
    setenv("TEVORIN_SYSTEM_DIR", "/opt/abc", 1);
    char16_t small[8] = {u'x', 0};
    EXPECT_EQ(GetSystemDirectoryW(small, 8), 9u);  // needs room for the terminating zero
    EXPECT_EQ(small[0], u'x');
    EXPECT_EQ(GetSystemDirectoryW(nullptr, 0), 9u);
    char16_t exact[9];
    EXPECT_EQ(GetSystemDirectoryW(exact, 9), 8u);
    EXPECT_EQ(std::u16string(exact), u"/opt/abc");
    if (saved != nullptr) {
        setenv("TEVORIN_SYSTEM_DIR", restore.c_str(), 1);
    } else {
        unsetenv("TEVORIN_SYSTEM_DIR");
    }
}

}  // namespace

namespace {

TEST(ReplaceFileContent, WritesWholeFilesOnly) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    struct Case {
        const char* name;
        std::string before;  // empty: no file yet
        std::string content;
        bool expected;
        std::string after;
    };
    const std::string large(300000, 'L');
    const Case cases[] = {
        {"new file", "", "fresh", true, "fresh"},
        {"shorter content", large, "short", true, "short"},
        {"empty content", "old", "", true, ""},
        {"binary content", "old", std::string("\0\x41\x20\xAA\xCB", 5), true, std::string("\0\x41\x20\xAA\xCB", 5)},
    };
    for (const Case& c : cases) {
        const std::string path = dir / c.name;
        if (!c.before.empty()) {
            ASSERT_TRUE(WriteFile(path, c.before)) << c.name;
        }
        EXPECT_EQ(ReplaceFileContent(U16(path).c_str(), c.content), c.expected) << c.name;
        EXPECT_EQ(Content(path), c.after) << c.name;
        EXPECT_EQ(ModeOf(path), 0644u) << c.name;
    }
    EXPECT_FALSE(ReplaceFileContent(U16(dir / "missing/x").c_str(), "x"));
    EXPECT_EQ(Names(dir.Path()).size(), std::size(cases));
}

TEST(ReplaceFileContent, FullDiskKeepsTheOldContent) {
    tevorin_test::SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    const std::string path = disk / "update.lock";
    ASSERT_TRUE(WriteFile(path, "old content"));
    EXPECT_FALSE(ReplaceFileContent(U16(path).c_str(), std::string(200 * 1024, 'x')));
    EXPECT_EQ(Content(path), "old content");
    EXPECT_EQ(Names(disk.Path()), (std::vector<std::string>{"update.lock"}));
}

}  // namespace
