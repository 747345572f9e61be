#include "install/pending_update.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
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

const std::string kData = std::string(TEVORIN_TEST_DATA_DIR) + "/pending/";
constexpr DWORD kInstalled = 0xC1A2B;
constexpr DWORD kServer = 0xC1A2C;

std::unique_ptr<UpdateFileEntry> MakeEntry(std::u16string_view filename,
                                           std::u16string_view localdir = u"") {
    auto entry = std::make_unique<UpdateFileEntry>();
    CopyToSlot(entry->filename, filename);
    CopyToSlot(entry->localdir, localdir);
    CopyToSlot(entry->src, u"http://127.0.0.1/files/" + std::u16string(filename));
    return entry;
}

std::string Content(const std::string& path) {
    std::string content;
    return ReadFile(path, content) ? content : "<missing>";
}

std::string Bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (unsigned v : values) out.push_back(static_cast<char>(v));
    return out;
}

// What one reading saw.
struct Reading {
    PendingUpdateResult result = PendingUpdateResult::kNoFile;
    bool opened = false;
    std::vector<DWORD> acceptedCounts;
    std::vector<std::u16string> filenames;
};

Reading ReadFrom(const std::string& dir, DWORD installed, DWORD server, bool goOn = true) {
    Reading reading;
    PendingUpdateSteps steps;
    steps.opened = [&] { reading.opened = true; };
    steps.accepted = [&](DWORD count) {
        reading.acceptedCounts.push_back(count);
        return goOn;
    };
    reading.result = ReadPendingUpdate(
        U16(dir), installed, server,
        [&](const UpdateFileEntry& entry) { reading.filenames.push_back(ReadSlot(entry.filename)); },
        steps);
    return reading;
}

class PendingUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.Valid()); }
    std::string LockPath() const { return dir_ / "update.lock"; }

    ScratchDir dir_;
};

TEST_F(PendingUpdateTest, WritesHeaderAndRecordsByteForByte) {
    UpdateState state;
    state.installedVersion = kInstalled;
    state.serverVersion = kServer;
    state.files.push_back(MakeEntry(u"a.dll"));
    state.files.push_back(MakeEntry(u"Codec.dll", u"plugins"));
    state.files.push_back(MakeEntry(u"setup.exe"));
    ASSERT_TRUE(WritePendingUpdate(U16(dir_.Path()), state));

    const std::string file = Content(LockPath());
    ASSERT_EQ(file.size(), 2644u);
    EXPECT_EQ(file.substr(0, 16), Bytes({0x41, 0x20, 0xAA, 0xCB, 0x2B, 0x1A, 0x0C, 0x00, 0x2C, 0x1A,
                                         0x0C, 0x00, 0x03, 0x00, 0x00, 0x00}));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::memcmp(file.data() + 16 + i * 876, state.files[i].get(), 876), 0)
            << "record " << i;
    }
    EXPECT_EQ(file, PendingUpdateImage(kInstalled, kServer, state.files));
}

TEST_F(PendingUpdateTest, EmptyListAndRewriting) {
    UpdateState state;
    state.installedVersion = 1;
    state.serverVersion = 2;
    ASSERT_TRUE(WritePendingUpdate(U16(dir_.Path()), state));
    EXPECT_EQ(Content(LockPath()), Bytes({0x41, 0x20, 0xAA, 0xCB, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));

    // A later write for the same version replaces the whole file.
    state.files.push_back(MakeEntry(u"x.dll"));
    state.files.push_back(MakeEntry(u"y.dll"));
    ASSERT_TRUE(WritePendingUpdate(U16(dir_.Path()), state));
    UpdateState second;
    second.installedVersion = 1;
    second.serverVersion = 2;
    second.files.push_back(MakeEntry(u"z.dll"));
    ASSERT_TRUE(WritePendingUpdate(U16(dir_.Path()), second));
    EXPECT_EQ(Content(LockPath()), PendingUpdateImage(1, 2, second.files));
    EXPECT_EQ(Content(LockPath()).size(), 16u + 876u);
}

TEST_F(PendingUpdateTest, FailedWriteLeavesNoFile) {
    UpdateState state;
    state.files.push_back(MakeEntry(u"x.dll"));
    EXPECT_FALSE(WritePendingUpdate(U16(dir_ / "missing/"), state));
    EXPECT_FALSE(Exists(dir_ / "missing"));

    tevorin_test::SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    ASSERT_TRUE(WritePendingUpdate(U16(disk.Path()), state));
    for (int i = 0; i < 100; ++i) state.files.push_back(MakeEntry(u"many.dll"));  // 87 KB
    EXPECT_FALSE(WritePendingUpdate(U16(disk.Path()), state));
    // The old file is gone too: it described another set of files.
    EXPECT_FALSE(Exists(disk / "update.lock"));
}

TEST_F(PendingUpdateTest, ReadsByTheRules) {
    using R = PendingUpdateResult;
    struct Case {
        const char* fixture;
        DWORD installed;
        DWORD server;
        R expected;
        std::vector<DWORD> acceptedCounts;
        std::vector<std::u16string> filenames;
    };
    const Case cases[] = {
        {"three-records.lock", kInstalled, kServer, R::kComplete, {3},
         {u"a.dll", u"Codec.dll", u" Setup.EXE"}},
        {"three-records.lock", kInstalled + 1, kServer, R::kRejected, {}, {}},
        {"three-records.lock", kInstalled, kServer + 1, R::kRejected, {}, {}},
        {"older-installed-version.lock", kInstalled, kServer, R::kRejected, {}, {}},
        {"wrong-magic.lock", kInstalled, kServer, R::kRejected, {}, {}},
        {"cut-in-header.lock", kInstalled, kServer, R::kRejected, {}, {}},
        {"no-file-count.lock", kInstalled, kServer, R::kNoFileCount, {}, {}},
        {"cut-in-third-record.lock", kInstalled, kServer, R::kShortRecord, {3},
         {u"a.dll", u"Codec.dll"}},
        {"huge-count.lock", kInstalled, kServer, R::kShortRecord, {0xFFFFFFFFu}, {u"a.dll"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFile(LockPath(), Content(kData + c.fixture))) << c.fixture;
        const Reading reading = ReadFrom(dir_.Path(), c.installed, c.server);
        const std::string label = std::string(c.fixture) + " row " + std::to_string(&c - cases);
        EXPECT_EQ(reading.result, c.expected) << label;
        EXPECT_TRUE(reading.opened) << label;
        EXPECT_EQ(reading.acceptedCounts, c.acceptedCounts) << label;
        EXPECT_EQ(reading.filenames, c.filenames) << label;
    }
}

TEST_F(PendingUpdateTest, NoFileIsNoPendingUpdate) {
    const Reading reading = ReadFrom(dir_.Path(), kInstalled, kServer);
    EXPECT_EQ(reading.result, PendingUpdateResult::kNoFile);
    EXPECT_FALSE(reading.opened);
    ASSERT_EQ(mkdir(LockPath().c_str(), 0755), 0);  // a directory of that name
    EXPECT_EQ(ReadFrom(dir_.Path(), kInstalled, kServer).result, PendingUpdateResult::kNoFile);
}

TEST_F(PendingUpdateTest, CallerCanStopBeforeTheRecords) {
    ASSERT_TRUE(WriteFile(LockPath(), Content(kData + "three-records.lock")));
    const Reading reading = ReadFrom(dir_.Path(), kInstalled, kServer, /*goOn=*/false);
    EXPECT_EQ(reading.result, PendingUpdateResult::kStopped);
    EXPECT_EQ(reading.acceptedCounts, std::vector<DWORD>{3});
    EXPECT_TRUE(reading.filenames.empty());
}

TEST_F(PendingUpdateTest, FieldsWithoutZeroEndAtTheirSlot) {
    ASSERT_TRUE(WriteFile(LockPath(), Content(kData + "unterminated-fields.lock")));
    std::vector<std::u16string> fields;
    const PendingUpdateResult result = ReadPendingUpdate(
        U16(dir_.Path()), kInstalled, kServer, [&](const UpdateFileEntry& entry) {
            fields = {ReadSlot(entry.src), ReadSlot(entry.localdir), ReadSlot(entry.filename),
                      ReadSlot(entry.zipped), ReadSlot(entry.regist)};
        });
    EXPECT_EQ(result, PendingUpdateResult::kComplete);
    EXPECT_EQ(fields, (std::vector<std::u16string>{std::u16string(255, u'A'), std::u16string(64, u'B'),
                                                   std::u16string(64, u'C'), std::u16string(25, u'D'),
                                                   std::u16string(25, u'E')}));
}

TEST_F(PendingUpdateTest, WhatIsWrittenReadsBack) {
    UpdateState state;
    state.installedVersion = 0xFFFFFFFFu;
    state.serverVersion = 0;
    state.files.push_back(MakeEntry(u"通.dll", u"插件"));
    state.files.push_back(MakeEntry(std::u16string(63, u'n')));
    ASSERT_TRUE(WritePendingUpdate(U16(dir_.Path()), state));
    std::vector<UpdateFileEntry> read;
    EXPECT_EQ(ReadPendingUpdate(U16(dir_.Path()), 0xFFFFFFFFu, 0,
                                [&](const UpdateFileEntry& e) { read.push_back(e); }),
              PendingUpdateResult::kComplete);
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(std::memcmp(&read[i], state.files[i].get(), sizeof(UpdateFileEntry)), 0) << i;
    }
}

// Reading through any source: every read asks for no more than the header,
// the count or one record, and the records come with one read each.
TEST(ReadPendingUpdateFrom, ReadsRecordsWithOneReadEach) {
    UpdateFileList files;
    files.push_back(MakeEntry(u"a.dll"));
    files.push_back(MakeEntry(u"b.dll"));
    const std::string image = PendingUpdateImage(7, 8, files);
    std::size_t offset = 0;
    std::vector<std::size_t> requests;
    const PendingUpdateResult result = ReadPendingUpdateFrom(
        [&](void* buffer, std::size_t count) {
            requests.push_back(count);
            const std::size_t n = std::min(count, image.size() - offset);
            std::memcpy(buffer, image.data() + offset, n);
            offset += n;
            return n;
        },
        7, 8, [](const UpdateFileEntry&) {});
    EXPECT_EQ(result, PendingUpdateResult::kComplete);
    EXPECT_EQ(requests, (std::vector<std::size_t>{12, 4, 876, 876}));
}

}  // namespace
