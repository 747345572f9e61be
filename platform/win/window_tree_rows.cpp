#include "platform/win/window_tree_rows.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/win/window.h"

namespace tevorin::win {

namespace {

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; });
    return folded;
}

std::mutex& ReadersMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::u16string, WindowTreeRowReader>& Readers() {
    static std::map<std::u16string, WindowTreeRowReader> readers;
    return readers;
}

}  // namespace

void SetWindowTreeRowReader(const char16_t* className, WindowTreeRowReader reader) {
    if (className == nullptr) return;
    std::lock_guard lock(ReadersMutex());
    if (reader == nullptr) {
        Readers().erase(Folded(className));
    } else {
        Readers()[Folded(className)] = reader;
    }
}

WindowTreeRowReader FindWindowTreeRowReader(HWND hwnd) {
    const std::u16string name = Folded(GetClassNameString(hwnd));
    std::lock_guard lock(ReadersMutex());
    auto it = Readers().find(name);
    return it == Readers().end() ? nullptr : it->second;
}

}  // namespace tevorin::win
