#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "platform/win/window.h"
#include "platform/win/window_registry.h"

namespace {

struct ClassEntry {
    WNDCLASSW info;
    std::u16string name;
};

std::u16string FoldCase(const char16_t* name) {
    std::u16string folded = name == nullptr ? std::u16string() : std::u16string(name);
    for (auto& c : folded)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return folded;
}

std::mutex& ClassMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::u16string, ClassEntry>& Classes() {
    static std::map<std::u16string, ClassEntry> classes;
    return classes;
}

}  // namespace

bool RegisterClassW(const WNDCLASSW& windowClass) {
    if (windowClass.lpszClassName == nullptr || windowClass.lpszClassName[0] == 0 ||
        windowClass.lpfnWndProc == nullptr)
        return false;
    std::lock_guard lock(ClassMutex());
    auto key = FoldCase(windowClass.lpszClassName);
    if (Classes().contains(key)) return false;
    ClassEntry entry{windowClass, windowClass.lpszClassName};
    entry.info.lpszClassName = nullptr;  // the entry's own copy of the name is used
    Classes().emplace(std::move(key), std::move(entry));
    return true;
}

bool UnregisterClassW(const char16_t* className) {
    std::lock_guard lock(ClassMutex());
    return Classes().erase(FoldCase(className)) != 0;
}

bool GetClassInfoW(const char16_t* className, WNDCLASSW* out) {
    std::lock_guard lock(ClassMutex());
    auto it = Classes().find(FoldCase(className));
    if (it == Classes().end()) return false;
    if (out != nullptr) {
        *out = it->second.info;
        out->lpszClassName = it->second.name.c_str();
    }
    return true;
}

std::u16string GetClassNameString(HWND hwnd) {
    std::lock_guard lock(tevorin::win::RegistryMutex());
    const auto* record = tevorin::win::FindLocked(hwnd);
    return record == nullptr ? std::u16string() : record->className;
}
