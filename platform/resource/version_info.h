#pragma once
// The program's version resource: fixed numbers and the descriptive strings.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/win_types.h"

struct VersionStringTable {
    std::u16string languageAndCodePage;  // e.g. u"080404b0"
    std::vector<std::pair<std::u16string, std::u16string>> values;  // in script order
};

struct VersionInfo {
    std::array<WORD, 4> fileVersion{};  // most significant part first: 1,0,0,1
    std::array<WORD, 4> productVersion{};
    DWORD fileFlagsMask = 0;
    DWORD fileFlags = 0;
    DWORD fileOS = 0;
    DWORD fileType = 0;  // 1: an application
    DWORD fileSubtype = 0;
    std::vector<VersionStringTable> stringTables;
    std::vector<std::pair<WORD, WORD>> translations;  // language, code page
};

// The value of `key` in the first string table that has it; empty when none has.
std::u16string FindVersionString(const VersionInfo& info, std::u16string_view key);
