#pragma once
// What `make` is asked to publish, checked in full before anything is
// written: a release folder is either made from a complete, valid request or
// not touched at all.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

struct ReleaseFile {
    std::string sourcePath;   // the file to publish, as given
    std::u16string filename;  // its name in the manifest and on the server
    std::u16string localdir;  // "", "[SYSTEM]" or a subdirectory
    bool regist = false;
    std::u16string src;         // the download address written into the manifest
    std::string publishedName;  // its file name in the release's version folder
};

struct ReleasePlan {
    DWORD version = 0;
    std::u16string action;
    std::u16string description;
    std::u16string baseUrl;  // without a trailing '/'
    std::string outDir;
    bool gzip = true;
    std::vector<ReleaseFile> files;
};

// The folder of the release's files below the output folder: the version in
// lower-case hexadecimal, as the manifest request writes it.
std::string VersionFolderName(DWORD version);

// Reads the arguments of `make` into `plan`. False with one line of
// explanation in `error` for the first thing that is wrong.
[[nodiscard]] bool PlanRelease(const std::vector<std::string>& args, ReleasePlan& plan,
                               std::string& error);

// The manifest text for the plan, as the updater parses it.
std::u16string ManifestText(const ReleasePlan& plan);
