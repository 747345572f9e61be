#include "install/install_path.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

}  // namespace

std::optional<std::u16string> SubdirectoryBelowInstallation(std::u16string_view localdir) {
    if (localdir.empty() || IsSeparator(localdir.front())) return std::nullopt;
    if (localdir.size() >= 2 && IsAsciiLetter(localdir[0]) && localdir[1] == u':') return std::nullopt;
    std::u16string path;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < localdir.size() && !IsSeparator(localdir[end])) ++end;
        const std::u16string_view component = localdir.substr(start, end - start);
        if (component == u"..") return std::nullopt;
        path.append(component);
        if (end == localdir.size()) break;
        path.push_back(u'/');
        start = end + 1;
    }
    return path;
}

bool IsPlainFileName(std::u16string_view filename) {
    if (filename.empty() || filename == u"." || filename == u"..") return false;
    for (const char16_t c : filename) {
        if (IsSeparator(c) || c == u'"') return false;
    }
    return true;
}
