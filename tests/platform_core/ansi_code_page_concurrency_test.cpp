#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/core/ansi_code_page.h"
#include "platform_core/code_page_guard.h"

namespace {

// Download workers convert paths at the same time; each conversion must give
// the same result as it would alone.
TEST(AnsiCodePageConcurrency, ConversionsOnManyThreadsAgree) {
    CodePageGuard guard("GBK");
    const std::u16string text = u"/opt/tevorin/upgrade/C1A2C/升级包.gz";
    const std::optional<std::string> expected = WideCharToMultiByte(text);
    ASSERT_TRUE(expected.has_value());

    std::vector<int> failures(8, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if (WideCharToMultiByte(text) != expected) ++failures[t];
                if (MultiByteToWideChar(*expected) != text) ++failures[t];
                AnsiStreamDecoder decoder;
                std::u16string streamed = decoder.Feed(std::string_view(*expected).substr(0, 27));
                streamed += decoder.Feed(std::string_view(*expected).substr(27));
                streamed += decoder.Finish();
                if (streamed != text) ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t t = 0; t < failures.size(); ++t) {
        EXPECT_EQ(failures[t], 0) << "thread " << t;
    }
}

}  // namespace
