#include "app/version_stamp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform_core/other_process_holder.h"
#include "platform_core/temp_dir.h"

namespace {

// 64 bytes of a recognisable pattern, with `stamp` at offsets 32 to 35.
std::string Executable(const std::string& stamp = std::string("\x2B\x1A\x0C\x00", 4)) {
    std::string bytes;
    for (int i = 0; i < 64; ++i) bytes.push_back(static_cast<char>(0xA0 + i));
    bytes.replace(32, 4, stamp);
    return bytes;
}

TEST(ReadVersionStamp, ReadsFourLittleEndianBytesAtOffset32) {
    struct Case {
        const char* name;
        std::string content;
        DWORD before;
        DWORD expected;
    } cases[] = {
        {"whole stamp", Executable(std::string("\x2B\x1A\x0C\x00", 4)), 0, 0xC1A2B},
        {"high bytes", Executable("\x01\x02\x03\x84"), 0, 0x84030201},
        {"exactly 36 bytes", Executable("\x2B\x1A\x0C\x01").substr(0, 36), 0, 0x010C1A2B},
        {"34 bytes", Executable("\x2B\x1A\x0C\x01").substr(0, 34), 0, 0x1A2B},
        {"34 bytes keep the rest", Executable("\x2B\x1A\x0C\x01").substr(0, 34), 0xAABBCCDD,
         0xAABB1A2B},
        {"32 bytes", Executable().substr(0, 32), 0, 0},
        {"empty file", "", 0x1234, 0x1234},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.Write("Tevorin.exe", c.content);
        DWORD value = c.before;
        EXPECT_TRUE(ReadVersionStamp(dir.U16("Tevorin.exe"), value)) << c.name;
        EXPECT_EQ(value, c.expected) << c.name;
    }
}

TEST(ReadVersionStamp, FailsWithoutTouchingTheValue) {
    TempDir dir;
    DWORD value = 0x5A5A;
    EXPECT_FALSE(ReadVersionStamp(dir.U16("Tevorin.exe"), value));
    EXPECT_FALSE(ReadVersionStamp(dir.U16(), value));  // a directory
    EXPECT_EQ(value, 0x5A5Au);
}

TEST(ReadVersionStamp, ReadsWhileTheMainProgramHoldsItsFile) {
    TempDir dir;
    dir.Write("Tevorin.exe", Executable());
    OtherProcessHolder running(dir.U16("Tevorin.exe"),
                               CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
    ASSERT_TRUE(running.opened());
    DWORD value = 0;
    EXPECT_TRUE(ReadVersionStamp(dir.U16("Tevorin.exe"), value));
    EXPECT_EQ(value, 0xC1A2Bu);
}

TEST(WriteVersionStampAt, ChangesExactlyTheFourStampBytes) {
    struct Case {
        DWORD version;
        std::string bytes;
    } cases[] = {
        {0xC1A2B, std::string("\x2B\x1A\x0C\x00", 4)},
        {0, std::string(4, '\0')},
        {0xFFFFFFFF, "\xFF\xFF\xFF\xFF"},
        {0x80000001, std::string("\x01\x00\x00\x80", 4)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string before = Executable("\x11\x22\x33\x44");
        dir.Write("Tevorin.exe", before);
        EXPECT_TRUE(WriteVersionStampAt(dir.U16("Tevorin.exe"), c.version)) << std::hex << c.version;
        std::string expected = before;
        expected.replace(32, 4, c.bytes);
        EXPECT_EQ(dir.Read("Tevorin.exe"), expected) << std::hex << c.version;
        DWORD readBack = 0x99;
        EXPECT_TRUE(ReadVersionStamp(dir.U16("Tevorin.exe"), readBack));
        EXPECT_EQ(readBack, c.version);
    }
}

TEST(WriteVersionStampAt, NeverCreatesTheFile) {
    TempDir dir;
    EXPECT_FALSE(WriteVersionStampAt(dir.U16("Tevorin.exe"), 0xC1A2B));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Tevorin.exe"));
    EXPECT_FALSE(WriteVersionStampAt(dir.U16(), 0xC1A2B));
}

TEST(WriteVersionStampAt, FailsWhileAnotherProcessHoldsTheFile) {
    struct Case {
        const char* name;
        UINT heldWith;
    } cases[] = {
        {"running main program (shared read)",
         CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary},
        {"exclusive reader", CFile::modeRead | CFile::typeBinary},
        {"shared writer", CFile::modeWrite | CFile::shareDenyNone},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string before = Executable();
        dir.Write("Tevorin.exe", before);
        {
            OtherProcessHolder holder(dir.U16("Tevorin.exe"), c.heldWith);
            ASSERT_TRUE(holder.opened()) << c.name;
            EXPECT_FALSE(WriteVersionStampAt(dir.U16("Tevorin.exe"), 0xDEADBEEF)) << c.name;
        }
        EXPECT_EQ(dir.Read("Tevorin.exe"), before) << c.name;
        // Once the other process has let go, the stamp can be written.
        EXPECT_TRUE(WriteVersionStampAt(dir.U16("Tevorin.exe"), 0xDEADBEEF)) << c.name;
    }
}

TEST(WriteVersionStampAt, ExtendsAFileTooShortForTheStamp) {
    TempDir dir;
    dir.Write("Tevorin.exe", "MZshort");
    EXPECT_TRUE(WriteVersionStampAt(dir.U16("Tevorin.exe"), 0xC1A2B));
    std::string expected = "MZshort" + std::string(25, '\0') + std::string("\x2B\x1A\x0C\x00", 4);
    EXPECT_EQ(dir.Read("Tevorin.exe"), expected);
}

}  // namespace
