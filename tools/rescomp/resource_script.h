#pragma once
// What a resource script describes, before it is written out as C++.

#include <optional>
#include <string>
#include <vector>

#include "platform/resource/dialog_template.h"
#include "platform/resource/version_info.h"
#include "tools/rescomp/script_error.h"

// A resource kept as a file next to the script: a bitmap, an icon group or
// the manifest, with the file's bytes already read and checked.
struct ResourceFile {
    int id = 0;
    std::string path;  // as found on disk
    std::vector<std::uint8_t> bytes;
    SourceLocation where;  // the statement that named it
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;
    std::vector<ResourceFile> bitmaps;
    std::vector<ResourceFile> icons;
    std::optional<ResourceFile> manifest;
    std::optional<VersionInfo> versionInfo;
    std::vector<std::string> inputFiles;  // the script, its headers and every file it names
};

struct CompileOptions {
    std::vector<std::string> includeDirs;
};

struct CompileResult {
    bool ok = false;
    std::string error;  // "file:line: error: ..." when not ok
    ResourceScript script;
};

// Reads, checks and gathers one resource script with everything it names.
[[nodiscard]] CompileResult CompileResourceScript(const std::string& scriptPath,
                                                  const CompileOptions& options);
