#include "platform/resource/version_info.h"

std::u16string FindVersionString(const VersionInfo& info, std::u16string_view key) {
    for (const VersionStringTable& table : info.stringTables) {
        for (const auto& [name, value] : table.values) {
            if (name == key) return value;
        }
    }
    return {};
}
