#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/core/text.h"

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tevorin-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed for " << pattern;
            return;
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The UTF-16 path of `name` inside the directory, with a '/' separator.
    std::u16string U16(const std::string& name = "") const {
        return Utf8ToUtf16((path_ / name).string());
    }

    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << "cannot write " << file;
        return file;
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};
