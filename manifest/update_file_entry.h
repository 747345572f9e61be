#pragma once
// The record of one file of an update. Its 876 bytes are also the format of
// the pending-update file, so the slot offsets and sizes below are fixed.
// Each slot holds a zero-terminated UTF-16 (little-endian) text.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

struct UpdateFileEntry {
    char16_t src[255];      // download address
    char16_t localdir[64];  // "" = installation directory, "[SYSTEM]", or a subdirectory
    char16_t filename[64];  // name in the download and installation directories
    char16_t zipped[25];    // "true" (trimmed, any case) = gzip-compressed
    char16_t regist[25];    // "true" (trimmed, any case) = register after installation
    char16_t reserved[5];   // always zero
};

static_assert(sizeof(UpdateFileEntry) == 876);
static_assert(std::is_trivially_copyable_v<UpdateFileEntry>);
static_assert(std::is_standard_layout_v<UpdateFileEntry>);
static_assert(offsetof(UpdateFileEntry, src) == 0);
static_assert(offsetof(UpdateFileEntry, localdir) == 510);
static_assert(offsetof(UpdateFileEntry, filename) == 638);
static_assert(offsetof(UpdateFileEntry, zipped) == 766);
static_assert(offsetof(UpdateFileEntry, regist) == 816);
static_assert(offsetof(UpdateFileEntry, reserved) == 866);

// Copies `value` into `slot`, cut to one unit less than the slot holds, and
// zero-fills the rest of the slot, so the slot always ends in a zero unit.
template <std::size_t N>
void CopyToSlot(char16_t (&slot)[N], std::u16string_view value) {
    static_assert(N >= 1);
    const std::size_t count = value.size() < N - 1 ? value.size() : N - 1;
    for (std::size_t i = 0; i < count; ++i) slot[i] = value[i];
    for (std::size_t i = count; i < N; ++i) slot[i] = u'\0';
}

// The text of `slot` up to its first zero unit, never beyond the slot's end
// (a record read back from a file need not carry the zero).
template <std::size_t N>
std::u16string ReadSlot(const char16_t (&slot)[N]) {
    std::size_t length = 0;
    while (length < N && slot[length] != u'\0') ++length;
    return std::u16string(slot, length);
}

// The files of an update in manifest order; a record's position is the file's
// index everywhere. The list owns its records.
using UpdateFileList = std::vector<std::unique_ptr<UpdateFileEntry>>;
