#include "test_window_class.h"

#include <algorithm>
#include <string>
#include <utility>

// Each test program gets a desktop session of its own, so that tests never
// see the windows of the user's real session or of other test programs.
#include "support/private_desktop_session.h"

MessageLog& MessageLog::Instance() {
    static MessageLog log;
    return log;
}

void MessageLog::Add(const ReceivedMessage& m) {
    std::lock_guard lock(mutex_);
    log_.push_back(m);
}

std::vector<ReceivedMessage> MessageLog::Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
}

std::vector<UINT> MessageLog::MessagesOf(HWND hwnd, const std::vector<UINT>& interesting) {
    std::lock_guard lock(mutex_);
    std::vector<UINT> out;
    for (const auto& m : log_)
        if ((hwnd == nullptr || m.hwnd == hwnd) &&
            std::find(interesting.begin(), interesting.end(), m.message) != interesting.end())
            out.push_back(m.message);
    return out;
}

void MessageLog::SetHandler(UINT message, std::function<LRESULT(HWND, WPARAM, LPARAM)> handler) {
    std::lock_guard lock(mutex_);
    handlers_[message] = std::move(handler);
}

void MessageLog::ClearHandlers() {
    std::lock_guard lock(mutex_);
    handlers_.clear();
}

std::function<LRESULT(HWND, WPARAM, LPARAM)> MessageLog::HandlerFor(UINT message) {
    std::lock_guard lock(mutex_);
    auto it = handlers_.find(message);
    return it == handlers_.end() ? nullptr : it->second;
}

namespace {

LRESULT TestProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::Instance().Add({hwnd, message, wParam, lParam});
    if (auto handler = MessageLog::Instance().HandlerFor(message))
        return handler(hwnd, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

const char16_t* TestClassName() {
    static const bool registered = [] {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &TestProc;
        windowClass.lpszClassName = u"TevorinTestWindow";
        return RegisterClassW(windowClass);
    }();
    (void)registered;
    return u"TevorinTestWindow";
}

HWND MakeTopLevel(const char16_t* title, DWORD style, RECT rect) {
    return CreateWindowExW(0, TestClassName(), title, style, rect.left, rect.top, rect.Width(),
                           rect.Height(), nullptr, nullptr, nullptr);
}

HWND MakeChild(HWND parent, int id, RECT rect, DWORD style) {
    return CreateWindowExW(0, TestClassName(), u"", style, rect.left, rect.top, rect.Width(),
                           rect.Height(), parent, ChildIdMenu(id), nullptr);
}

