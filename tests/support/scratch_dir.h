#pragma once
// A temporary directory for one test, removed with everything in it when the
// test ends, plus small helpers for files that tests write and wait for.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/core/native_path.h"

namespace tevorin_test {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tevorin-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        if (path_.empty()) return;
        std::error_code ignored;
        // Read-only files and directories left by a test must not block the cleanup.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }

    bool Valid() const { return !path_.empty(); }
    // The directory's path with a trailing slash.
    std::string Path() const { return path_ + "/"; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The UTF-16 form of a path written as UTF-8 in a test.
inline std::u16string U16(const std::string& utf8) { return FromNativePath(utf8); }

inline bool WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << content;
        if (!out) return false;
    }
    return chmod(path.c_str(), mode) == 0;
}

inline bool ReadFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Waits for a file that a started program writes (it renames it into place
// when done, so an existing file is complete). False after the time limit:
// the test fails instead of hanging.
inline bool WaitForFile(const std::string& path,
                        std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (Exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Exists(path);
}

// A script that writes each of its arguments on a line of its own, and its
// working directory on the last line, into `output` (via a temporary name, so
// the file appears complete).
inline std::string ArgumentRecorderScript(const std::string& output) {
    return "#!/bin/sh\n"
           "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; pwd; } > '" + output + ".part'\n"
           "/bin/mv '" + output + ".part' '" + output + "'\n";
}

}  // namespace tevorin_test
