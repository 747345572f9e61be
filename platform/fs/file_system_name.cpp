#include "platform/fs/file_system_name.h"

#include "platform/core/ansi_code_page.h"
#include "platform/core/native_path.h"

namespace {

bool IsFaithfulPath(std::u16string_view path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i];
        if (unit == 0) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= path.size() || path[i + 1] < 0xDC00 || path[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> ToFileSystemName(std::u16string_view path) {
    if (!IsFaithfulPath(path)) return std::nullopt;
    return ToNativePath(path);
}

std::optional<std::string> AnsiPathToFileSystemName(std::string_view ansiPath) {
    return ToFileSystemName(MultiByteToWideChar(ansiPath));
}
