// The launcher script stays a valid, runnable script whatever its stamp is.

#include "tools/main/launcher_script.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "app/version_stamp.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

using namespace main_stand_in;
using test_support::RunProcess;

namespace {

// A stand-in for tevorin-main that prints its arguments, one per line.
constexpr char kArgumentPrinter[] = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done\n";

DWORD WithByte(DWORD base, int position, unsigned byte) {
    const unsigned shift = 8u * static_cast<unsigned>(position);
    return (base & ~(0xFFu << shift)) | (static_cast<DWORD>(byte) << shift);
}

TEST(LauncherScript, StampSitsLittleEndianAtOffset32) {
    tevorin_test::ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const DWORD versions[] = {0u, 1u, 0xC1A2Bu, 0x0A0A0A0Au, 0xFFFFFFFFu, 0x80000000u};
    for (DWORD version : versions) {
        const std::string script = LauncherScript(version);
        ASSERT_GT(script.size(), 36u);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(static_cast<unsigned char>(script[32 + i]), (version >> (8 * i)) & 0xFF)
                << "row: " << std::hex << version << " byte " << i;
        // Every other byte is the same whatever the version.
        std::string masked = script;
        masked.replace(32, 4, 4, '\0');
        std::string zero = LauncherScript(0);
        EXPECT_EQ(masked, zero) << "row: " << std::hex << version;

        ASSERT_TRUE(tevorin_test::WriteFile(dir / "Tevorin.exe", script, 0755));
        DWORD read = 0x5A5A5A5A;
        ASSERT_TRUE(ReadVersionStamp(tevorin_test::U16(dir / "Tevorin.exe"), read));
        EXPECT_EQ(read, version);
    }
}

TEST(LauncherScript, EveryByteValueAtEveryStampPositionIsSkipped) {
    tevorin_test::ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    // One script holds the here-document of each of the 1024 launchers,
    // byte for byte as the launcher has it, each followed by an echo of its
    // row: one shell checks them all, and a stamp that ended its
    // here-document early would show as an error or as output out of place.
    std::string combined = "#!/bin/sh\n";
    std::string expected;
    for (int position = 0; position < 4; ++position) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            // The other stamp bytes are line feeds, the most dangerous neighbours.
            const std::string script = LauncherScript(WithByte(0x0A0A0A0Au, position, byte));
            const std::size_t bodyStart = script.find('\n') + 1;
            const std::size_t bodyEnd = script.find("\nSTAMP_END\n", 35) + 11;
            ASSERT_EQ(bodyEnd, 47u) << "row: byte " << byte << " at " << position;
            const std::string row = std::to_string(position) + "-" + std::to_string(byte);
            combined += script.substr(bodyStart, bodyEnd - bodyStart) + "echo " + row + "\n";
            expected += row + "\n";
        }
    }
    ASSERT_TRUE(tevorin_test::WriteFile(dir / "combined", combined, 0755));
    const auto run = RunProcess("/bin/sh", {dir / "combined"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out == expected) << run.out.substr(0, 400);
}

TEST(LauncherScript, QuotesLineBreaksAndNulsInTheStampStillRun) {
    tevorin_test::ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(tevorin_test::WriteFile(dir / "tevorin-main", kArgumentPrinter, 0755));
    const unsigned special[] = {0x00, 0x0A, 0x0D, 0x22, 0x24, 0x27, 0x5C, 0x60, 0x23, 0x3B, 0xFF};
    std::vector<DWORD> versions;
    for (int position = 0; position < 4; ++position)
        for (unsigned byte : special) versions.push_back(WithByte(0x41414141u, position, byte));
    // Whole stamps that cut the line into pieces, and the bytes of the
    // here-document's own delimiter.
    versions.insert(versions.end(), {0x0A0A0A0Au, 0x0A41410Au, 0x0A27270Au, 0x00000000u,
                                     0x4D415453u /* "STAM" */, 0x0A444E45u /* "END\n" */});
    for (DWORD version : versions) {
        ASSERT_TRUE(tevorin_test::WriteFile(dir / "Tevorin.exe", LauncherScript(version), 0755));
        const auto run = RunProcess(dir / "Tevorin.exe", {"--check", "a 'b' $c"});
        EXPECT_EQ(run.exitCode, 0) << "row: " << std::hex << version << ": " << run.err;
        EXPECT_EQ(run.out, "--check\na 'b' $c\n") << "row: " << std::hex << version;
        EXPECT_EQ(run.err, "") << "row: " << std::hex << version;
    }
}

}  // namespace
