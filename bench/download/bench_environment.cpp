// The benchmark's windows live in a desktop session of their own and on the
// headless display, whatever display the machine has.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

struct BenchEnvironment {
    std::string session;
    BenchEnvironment() {
        ::setenv("TEVORIN_DISPLAY", "headless", 1);
        char pattern[] = "/tmp/tevorin-bench-desktop-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            session = pattern;
            ::setenv("TEVORIN_DESKTOP", pattern, 1);
        }
    }
    ~BenchEnvironment() {
        std::error_code ignored;
        if (!session.empty()) std::filesystem::remove_all(session, ignored);
    }
} g_benchEnvironment;

}  // namespace
