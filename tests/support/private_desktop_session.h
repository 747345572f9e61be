#pragma once
// Gives the test program a desktop session of its own, so that its windows
// never meet those of other programs. Include in exactly one source file of
// the program.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

struct PrivateDesktopSession {
    std::string path;
    PrivateDesktopSession() {
        char pattern[] = "/tmp/tevorin-test-desktop-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            path = pattern;
            ::setenv("TEVORIN_DESKTOP", pattern, 1);
        }
    }
    ~PrivateDesktopSession() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
} g_privateDesktopSession;

}  // namespace
