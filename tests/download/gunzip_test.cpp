#include "download/gunzip.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/scratch_dir.h"
#include "support/small_disk.h"

namespace {

using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WriteFile;

const std::string kData = std::string(TEVORIN_TEST_DATA_DIR) + "/gzip/";

std::string Fixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadFile(kData + name, content)) << name;
    return content;
}

int OpenDescriptors() {
    int count = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d) != nullptr) ++count;
        closedir(d);
    }
    return count;
}

class ScopedCodePage {
public:
    explicit ScopedCodePage(const char* name) {
        if (const char* old = std::getenv("TEVORIN_ACP")) saved_ = old, had_ = true;
        setenv("TEVORIN_ACP", name, 1);
    }
    ~ScopedCodePage() {
        if (had_) {
            setenv("TEVORIN_ACP", saved_.c_str(), 1);
        } else {
            unsetenv("TEVORIN_ACP");
        }
    }

private:
    std::string saved_;
    bool had_ = false;
};

constexpr const char* kAbsent = "<absent>";

TEST(GunzipFile, ExpandsOrFailsAndNeverLeavesAPartialFile) {
    struct Case {
        const char* source;
        bool expected;
        std::string destinationAfter;  // kAbsent: no destination file afterwards
    };
    const Case cases[] = {
        {"valid.gz", true, Fixture("valid.txt")},
        {"empty.gz", true, ""},
        {"not-gzip.bin", true, Fixture("not-gzip.bin")},
        {"damaged.gz", false, kAbsent},
        {"damaged-block.gz", false, kAbsent},
        {"truncated.gz", false, kAbsent},
    };
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    for (const Case& c : cases) {
        // A leftover of an earlier attempt at the destination must not survive either.
        const std::string destination = dir / (std::string(c.source) + ".out");
        ASSERT_TRUE(WriteFile(destination, "leftover of an earlier attempt"));
        const int descriptorsBefore = OpenDescriptors();
        EXPECT_EQ(GunzipFile(U16(kData + c.source), U16(destination)), c.expected) << c.source;
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << c.source;
        std::string content;
        if (std::string(c.destinationAfter) == kAbsent) {
            EXPECT_FALSE(Exists(destination)) << c.source;
        } else {
            ASSERT_TRUE(ReadFile(destination, content)) << c.source;
            EXPECT_EQ(content, c.destinationAfter) << c.source;
        }
    }
}

TEST(GunzipFile, UnopenableFilesLeaveTheDestinationAlone) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string destination = dir / "kept.dll";
    ASSERT_TRUE(WriteFile(destination, "kept"));
    const int descriptorsBefore = OpenDescriptors();
    struct Case {
        const char* name;
        std::string source;
        std::string destination;
    };
    const Case cases[] = {
        {"missing source", dir / "missing.gz", destination},
        {"destination directory missing", kData + "valid.gz", dir / "no-such-dir/out"},
        {"destination is a directory", kData + "valid.gz", dir.Path()},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(GunzipFile(U16(c.source), U16(c.destination))) << c.name;
        // The gzip stream is closed again, so the caller can delete the source.
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << c.name;
    }
    std::string content;
    ASSERT_TRUE(ReadFile(destination, content));
    EXPECT_EQ(content, "kept");
}

TEST(GunzipFile, PathsGoThroughTheAnsiCodePage) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string source = dir / "升级.gz";
    ASSERT_TRUE(WriteFile(source, Fixture("valid.gz")));
    struct Case {
        const char* codePage;
        bool expected;
    };
    const Case cases[] = {
        {"UTF-8", true},
        {"GBK", true},          // the name can be written in it
        {"ISO-8859-1", false},  // the name cannot
    };
    for (const Case& c : cases) {
        ScopedCodePage codePage(c.codePage);
        const std::string destination = dir / (std::string("通-") + c.codePage + ".dll");
        EXPECT_EQ(GunzipFile(U16(source), U16(destination)), c.expected) << c.codePage;
        EXPECT_EQ(Exists(destination), c.expected) << c.codePage;
    }
}

TEST(GunzipFile, FullDiskFailsAndRemovesThePartialFile) {
    tevorin_test::SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    const std::string destination = disk / "payload.txt";
    EXPECT_FALSE(GunzipFile(U16(kData + "valid.gz"), U16(destination)));
    EXPECT_FALSE(Exists(destination));
}

TEST(CopyGzipStream, WriteAndCloseFailuresFail) {
    struct Case {
        const char* source;
        bool expected;
    };
    const Case cases[] = {
        {"valid.gz", false},      // writes of whole buffers fall short
        {"not-gzip.bin", false},  // small enough to wait in the stream's buffer: the close fails
        {"empty.gz", true},       // nothing to write, nothing fails
    };
    for (const Case& c : cases) {
        const int descriptorsBefore = OpenDescriptors();
        gzFile in = gzopen((kData + c.source).c_str(), "rb");
        ASSERT_NE(in, nullptr) << c.source;
        std::FILE* out = std::fopen("/dev/full", "wb");
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(CopyGzipStream(in, out), c.expected) << c.source;
        EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << c.source;
    }
}

TEST(CopyGzipStream, CopiesIntoAnOpenStream) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string destination = dir / "out";
    gzFile in = gzopen((kData + "valid.gz").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::FILE* out = std::fopen(destination.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(CopyGzipStream(in, out));
    std::string content;
    ASSERT_TRUE(ReadFile(destination, content));
    EXPECT_EQ(content, Fixture("valid.txt"));
}

}  // namespace
