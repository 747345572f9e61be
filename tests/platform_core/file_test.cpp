#include "platform/core/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <string>

#include "platform_core/other_process_holder.h"
#include "platform_core/temp_dir.h"

namespace {

const UINT kSharedRead = CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary;
const UINT kSharedWrite = CFile::modeWrite | CFile::shareDenyNone | CFile::typeBinary;
const UINT kExclusiveRead = CFile::modeRead | CFile::typeBinary;
const UINT kExclusiveWrite = CFile::modeWrite | CFile::typeBinary;
const UINT kExclusiveReadWrite = CFile::modeReadWrite | CFile::shareExclusive;

TEST(CFileSharing, OpensAgainstAnOpenInAnotherProcess) {
    struct Case {
        const char* name;
        UINT held;
        UINT opened;
        bool succeeds;
    } cases[] = {
        {"shared read beside shared read", kSharedRead, kSharedRead, true},
        {"shared read beside shared write", kSharedWrite, kSharedRead, true},
        {"shared write beside shared read", kSharedRead, kSharedWrite, true},
        {"exclusive write beside shared read", kSharedRead, kExclusiveWrite, false},
        {"exclusive read beside shared read", kSharedRead, kExclusiveRead, false},
        {"exclusive write beside shared write", kSharedWrite, kExclusiveWrite, false},
        {"shared read beside exclusive read", kExclusiveRead, kSharedRead, false},
        {"shared read beside exclusive write", kExclusiveWrite, kSharedRead, false},
        {"shared write beside exclusive write", kExclusiveWrite, kSharedWrite, false},
        {"exclusive write beside exclusive write", kExclusiveWrite, kExclusiveWrite, false},
        {"exclusive read beside exclusive read", kExclusiveRead, kExclusiveRead, false},
        {"deny-write counts as exclusive", CFile::modeRead | CFile::shareDenyWrite, kSharedRead,
         false},
        {"read-write exclusive", kExclusiveReadWrite, kSharedRead, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.Write("Tevorin.exe", std::string(64, 'x'));
        OtherProcessHolder holder(dir.U16("Tevorin.exe"), c.held);
        ASSERT_TRUE(holder.opened()) << c.name;
        CFile file;
        EXPECT_EQ(file.Open(dir.U16("Tevorin.exe"), c.opened), c.succeeds) << c.name;
        if (!c.succeeds) {
            EXPECT_EQ(file.LastOpenError(), CFile::OpenError::kSharingViolation) << c.name;
        }
    }
}

TEST(CFileSharing, EveryModeOpensWhenNobodyElseHoldsTheFile) {
    for (UINT flags :
         {kSharedRead, kSharedWrite, kExclusiveRead, kExclusiveWrite, kExclusiveReadWrite}) {
        TempDir dir;
        dir.Write("a", "abc");
        CFile file;
        EXPECT_TRUE(file.Open(dir.U16("a"), flags)) << std::hex << flags;
    }
}

TEST(CFileSharing, ReleasesTheFileOnCloseAndWhenTheHolderEnds) {
    TempDir dir;
    dir.Write("a", "abc");
    {
        CFile first;
        ASSERT_TRUE(first.Open(dir.U16("a"), kExclusiveWrite));
        CFile second;
        EXPECT_FALSE(second.Open(dir.U16("a"), kSharedRead));  // same process, too
        EXPECT_TRUE(first.Close());
        EXPECT_TRUE(second.Open(dir.U16("a"), kSharedRead));
    }
    {
        OtherProcessHolder holder(dir.U16("a"), kSharedRead);
        ASSERT_TRUE(holder.opened());
    }
    CFile file;
    EXPECT_TRUE(file.Open(dir.U16("a"), kExclusiveWrite));
}

TEST(CFileSharing, RefusedCreateLeavesTheHeldFileIntact) {
    TempDir dir;
    dir.Write("a", "keep me");
    OtherProcessHolder holder(dir.U16("a"), kSharedRead);
    ASSERT_TRUE(holder.opened());
    CFile file;
    EXPECT_FALSE(file.Open(dir.U16("a"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(dir.Read("a"), "keep me");
}

TEST(CFileOpen, CreatesAndTruncatesOnlyWhenAsked) {
    struct Case {
        const char* name;
        bool exists;
        UINT flags;
        bool opens;
        const char* contentAfter;  // null: the file must not exist
    } cases[] = {
        {"write without create on a missing file", false, kExclusiveWrite, false, nullptr},
        {"read of a missing file", false, kSharedRead, false, nullptr},
        {"write without create keeps the content", true, kExclusiveWrite, true, "0123456789"},
        {"create on a missing file", false, CFile::modeCreate | CFile::modeWrite, true, ""},
        {"create empties an existing file", true, CFile::modeCreate | CFile::modeWrite, true, ""},
        {"create without truncation", true,
         CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, true, "0123456789"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.exists) dir.Write("f", "0123456789");
        {
            CFile file;
            EXPECT_EQ(file.Open(dir.U16("f"), c.flags), c.opens) << c.name;
        }
        const bool existsAfter = std::filesystem::exists(dir.path() / "f");
        EXPECT_EQ(existsAfter, c.contentAfter != nullptr) << c.name;
        if (c.contentAfter != nullptr && existsAfter) {
            EXPECT_EQ(dir.Read("f"), c.contentAfter) << c.name;
        }
    }
}

TEST(CFileOpen, ReportsWhyItFailed) {
    TempDir dir;
    CFile file;
    EXPECT_FALSE(file.Open(dir.U16("missing"), kSharedRead));
    EXPECT_EQ(file.LastOpenError(), CFile::OpenError::kNotFound);
    EXPECT_FALSE(file.Open(dir.U16(""), kSharedRead));
    EXPECT_EQ(file.LastOpenError(), CFile::OpenError::kIsDirectory);
    EXPECT_FALSE(file.Open(dir.U16("no/such/dir"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.LastOpenError(), CFile::OpenError::kNotFound);
    EXPECT_FALSE(file.IsOpen());
}

TEST(CFileOpen, RefusesFifosAndDevicesWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    // Nobody has the FIFO open: a blocking open would wait forever here.
    for (UINT flags : {kSharedRead, kExclusiveWrite, CFile::modeCreate | CFile::modeWrite}) {
        CFile file;
        EXPECT_FALSE(file.Open(dir.U16("fifo"), flags)) << std::hex << flags;
        EXPECT_EQ(file.LastOpenError(), CFile::OpenError::kNotAFile) << std::hex << flags;
    }
    CFile device;
    EXPECT_FALSE(device.Open(u"/dev/null", kSharedRead));
    EXPECT_EQ(device.LastOpenError(), CFile::OpenError::kNotAFile);
}

TEST(CFileIo, ReadsWritesSeeksAndMeasures) {
    TempDir dir;
    dir.Write("f", "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(dir.U16("f"), CFile::modeReadWrite | CFile::typeBinary));
    EXPECT_EQ(file.GetLength(), 10);
    EXPECT_EQ(file.Seek(8, CFile::begin), 8);
    std::array<char, 8> buffer{};
    EXPECT_EQ(file.Read(buffer.data(), 4), 2u);  // only two bytes remain
    EXPECT_EQ(std::string(buffer.data(), 2), "89");
    EXPECT_EQ(file.Read(buffer.data(), 4), 0u);
    EXPECT_EQ(file.Seek(-3, CFile::end), 7);
    EXPECT_EQ(file.Seek(-2, CFile::current), 5);
    EXPECT_EQ(file.Seek(-1, CFile::begin), -1);
    EXPECT_TRUE(file.Write("ab", 2));
    EXPECT_EQ(file.Seek(12, CFile::begin), 12);  // past the end, as the system allows
    EXPECT_TRUE(file.Write("Z", 1));
    EXPECT_EQ(file.GetLength(), 13);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(dir.Read("f"), std::string("01234ab789\0\0Z", 13));

    // A closed file object refuses every operation.
    EXPECT_EQ(file.GetLength(), -1);
    EXPECT_EQ(file.Seek(0, CFile::begin), -1);
    EXPECT_EQ(file.Read(buffer.data(), 1), 0u);
    EXPECT_FALSE(file.Write("x", 1));
}

TEST(CFileIo, WriteFailsOnAReadOnlyOpen) {
    TempDir dir;
    dir.Write("f", "abc");
    CFile file;
    ASSERT_TRUE(file.Open(dir.U16("f"), kSharedRead));
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(dir.Read("f"), "abc");
}

TEST(CFileIo, HandlesNonAsciiPaths) {
    TempDir dir;
    CFile file;
    ASSERT_TRUE(file.Open(dir.U16("升级.bin"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_TRUE(file.Write("data", 4));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(dir.Read("升级.bin"), "data");
}

// Bytes written in small pieces, around and across the gathering buffer's
// size, arrive whole and in order, and every other operation sees them.
TEST(CStdioFileIo, GatheredWritesArriveWholeAndInOrder) {
    std::string expected;
    for (int i = 0; i < 300000; ++i) expected += static_cast<char>('a' + (i * 7) % 26);
    const std::size_t pieces[] = {1, 8192, 8192, 65535, 2, 65536, 100000};
    TempDir dir;
    CStdioFile file;
    ASSERT_TRUE(file.Open(dir.U16("f"), CFile::modeCreate | CFile::modeReadWrite));
    std::size_t written = 0;
    for (std::size_t piece : pieces) {
        ASSERT_TRUE(file.Write(expected.data() + written, static_cast<UINT>(piece)));
        written += piece;
        EXPECT_EQ(file.GetLength(), static_cast<std::int64_t>(written)) << "after " << piece;
    }
    ASSERT_TRUE(file.Write(expected.data() + written, static_cast<UINT>(expected.size() - written)));
    EXPECT_EQ(file.Seek(5, CFile::begin), 5);
    std::array<char, 4> buffer{};
    EXPECT_EQ(file.Read(buffer.data(), 4), 4u);
    EXPECT_EQ(std::string(buffer.data(), 4), expected.substr(5, 4));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(dir.Read("f"), expected);
}

TEST(CStdioFileIo, AWriteThatCannotReachTheFileFailsAtTheLatestOnClose) {
    // A small write is gathered; a large one goes to the file at once.
    for (std::size_t size : {std::size_t{1}, std::size_t{100000}}) {
        TempDir dir;
        dir.Write("f", "abc");
        CStdioFile file;
        ASSERT_TRUE(file.Open(dir.U16("f"), kSharedRead));
        const std::string bytes(size, 'x');
        (void)file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        EXPECT_FALSE(file.Close()) << size << " bytes";
        EXPECT_EQ(dir.Read("f"), "abc") << size << " bytes";
    }
}

TEST(CStdioFileIo, DestroyingAnOpenFileWritesWhatItGathered) {
    TempDir dir;
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(dir.U16("f"), CFile::modeCreate | CFile::modeWrite));
        ASSERT_TRUE(file.Write("gathered", 8));
    }
    EXPECT_EQ(dir.Read("f"), "gathered");
}

}  // namespace
