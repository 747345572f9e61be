#include "app/module_dir.h"

#include "platform/core/module_path.h"
#include "platform/core/native_path.h"

std::u16string DirectoryOf(std::u16string_view path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::u16string_view::npos) return std::u16string();
    return std::u16string(path.substr(0, slash + 1));
}

std::u16string GetModuleDir() { return DirectoryOf(GetModuleFilePath()); }
