#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "download/gunzip.h"
#include "support/scratch_dir.h"

namespace {

using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;

const std::string kData = std::string(TEVORIN_TEST_DATA_DIR) + "/gzip/";

// Download workers expand their files at the same time.
TEST(GunzipFileConcurrency, WorkersExpandTheirOwnFilesAtOnce) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    constexpr int kWorkers = 6;
    const char* sources[] = {"valid.gz", "damaged.gz", "empty.gz"};
    bool results[kWorkers] = {};
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&, i] {
            results[i] = GunzipFile(U16(kData + sources[i % 3]), U16(dir / std::to_string(i)));
        });
    }
    for (std::thread& worker : workers) worker.join();

    std::string expected;
    ASSERT_TRUE(ReadFile(kData + "valid.txt", expected));
    for (int i = 0; i < kWorkers; ++i) {
        std::string content;
        const bool present = ReadFile(dir / std::to_string(i), content);
        switch (i % 3) {
            case 0:
                EXPECT_TRUE(results[i]) << i;
                EXPECT_EQ(content, expected) << i;
                break;
            case 1:
                EXPECT_FALSE(results[i]) << i;
                EXPECT_FALSE(present) << i;
                break;
            default:
                EXPECT_TRUE(results[i]) << i;
                EXPECT_TRUE(present && content.empty()) << i;
        }
    }
}

}  // namespace
