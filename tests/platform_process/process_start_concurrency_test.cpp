#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/process_start.h"
#include "support/scratch_dir.h"

namespace {

using tevorin_test::ScratchDir;
using tevorin_test::U16;

// Programs may be started from several threads at once; each start reports
// its own outcome and nothing is left to collect.
TEST(ProcessStartConcurrency, StartsFromSeveralThreadsAtOnce) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    constexpr int kThreads = 4;
    constexpr int kStartsPerThread = 3;
    for (int t = 0; t < kThreads; ++t) {
        for (int s = 0; s < kStartsPerThread; ++s) {
            const std::string name = "p" + std::to_string(t) + "-" + std::to_string(s);
            ASSERT_TRUE(tevorin_test::WriteFile(
                dir / (name + ".exe"), tevorin_test::ArgumentRecorderScript(dir / (name + ".out")), 0755));
        }
    }
    std::vector<std::thread> threads;
    std::vector<std::vector<INT_PTR>> results(kThreads);
    std::vector<UINT> missing(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int s = 0; s < kStartsPerThread; ++s) {
                const std::string name = "p" + std::to_string(t) + "-" + std::to_string(s);
                results[t].push_back(ShellExecuteW(nullptr, u"open", U16(dir / (name + ".exe")).c_str(),
                                                   U16(name).c_str(), nullptr, SW_SHOW));
            }
            missing[t] = WinExec((dir / "no-such-program").c_str(), SW_HIDE);
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(missing[t], ERROR_FILE_NOT_FOUND) << t;
        for (int s = 0; s < kStartsPerThread; ++s) {
            EXPECT_GT(results[t][s], 32) << t << "/" << s;
            const std::string name = "p" + std::to_string(t) + "-" + std::to_string(s);
            EXPECT_TRUE(tevorin_test::WaitForFile(dir / (name + ".out"))) << name;
        }
    }
    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

}  // namespace
