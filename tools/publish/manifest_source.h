#pragma once

#include <string>

// True for an argument that names a manifest on a server rather than a file.
bool IsManifestUrl(const std::string& argument);

// Reads the manifest file at `path` the way the updater reads a fetched
// body: its bytes taken in the ANSI code page, chunk by chunk. False with a
// message in `error` when the file cannot be opened or read.
[[nodiscard]] bool ReadManifestFile(const std::string& path, std::u16string& text,
                                    std::string& error);
