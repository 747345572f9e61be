#pragma once

#include <string>

#include "manifest/update_file_entry.h"
#include "platform/core/win_types.h"

// A manifest with more `filename` elements than this offers no files at all:
// no real update has that many, and records for an unbounded count would
// exhaust memory (876 bytes each).
inline constexpr std::size_t kMaxManifestFiles = 100'000;

// Reads the update manifest `text` into the update state: the server's
// version, the description (each "<br>" turned into CR LF, then trimmed), the
// action word (trimmed) and one record per `filename` element, appended to
// `files` in document order. What the manifest does not hold is left as it
// was; a text that is not a well-formed document sets nothing but the
// trimming and line breaks of `description` and `action`.
void ParseUpdateManifest(const std::u16string& text, DWORD& serverVersion,
                         std::u16string& description, std::u16string& action,
                         UpdateFileList& files);
