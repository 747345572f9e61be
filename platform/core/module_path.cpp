#include "platform/core/module_path.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/core/native_path.h"

std::u16string GetModuleFilePath() {
    // readlink does not say whether it cut the path; grow until it fits.
    std::vector<char> target(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", target.data(), target.size());
        if (n < 0) return std::u16string();
        if (static_cast<std::size_t>(n) < target.size()) {
            return FromNativePath(std::string_view(target.data(), static_cast<std::size_t>(n)));
        }
        if (target.size() >= (1u << 20)) return std::u16string();
        target.resize(target.size() * 2);
    }
}

DWORD GetModuleFileNameW(void* module, char16_t* buffer, DWORD size) {
    if (module != nullptr || buffer == nullptr || size == 0) return 0;
    const std::u16string path = GetModuleFilePath();
    if (path.empty()) {
        buffer[0] = 0;
        return 0;
    }
    if (path.size() < size) {
        path.copy(buffer, path.size());
        buffer[path.size()] = 0;
        return static_cast<DWORD>(path.size());
    }
    path.copy(buffer, size - 1);
    buffer[size - 1] = 0;
    return size;
}
