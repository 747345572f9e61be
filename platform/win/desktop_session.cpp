#include "platform/win/desktop_session.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "platform/win/dispatch.h"
#include "platform/win/message_loop.h"
#include "platform/win/painting.h"
#include "platform/win/remote_windows.h"
#include "platform/win/session_protocol.h"
#include "platform/win/session_socket.h"
#include "platform/win/window.h"
#include "platform/win/window_handles.h"
#include "platform/win/window_observers.h"
#include "platform/win/window_registry.h"
#include "platform/win/window_tree_rows.h"

namespace tevorin::win {
namespace {

constexpr UINT kButtonClick = 0x00F5;  // BM_CLICK
constexpr int kHandleBlock = 16;
// How long ShowWindow on another process's window waits for that process.
constexpr int kShowAnswerMs = 5000;

class DesktopSession final : public RemoteWindows, public WindowObserver {
  public:
    bool Open() {
        std::string error;
        if (!directory_.Open(DefaultSessionDirectory(), &error)) {
            error_ = error;
            return false;
        }
        directory_.RemoveStaleProcessFiles();
        if (!socket_.Bind(directory_.SocketPath(::getpid()), &error)) {
            error_ = error;
            return false;
        }
        processStart_ = ProcessStartTime(::getpid());
        SetWindowHandleSource([this] { return NextHandle(); });
        AddWindowObserver(this);
        SetRemoteWindows(this);
        std::atexit([] { Instance()->Leave(); });
        return true;
    }

    static DesktopSession* Instance() {
        static DesktopSession* session = new DesktopSession();  // lives until exit
        return session;
    }

    SessionDirectory& Directory() { return directory_; }
    const std::string& Error() const { return error_; }

    void AttachToThisThread() {
        std::lock_guard lock(mutex_);
        if (attached_ || socket_.Fd() < 0) return;
        attached_ = true;
        CurrentThreadQueue()->AddWaitSource(socket_.Fd(), [this] { ServeWaitingDatagrams(); });
    }

    // RemoteWindows
    bool Exists(int handle) override { return Foreign(handle).has_value(); }

    bool Post(int handle, UINT message, WPARAM wParam, LPARAM lParam) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        SessionDatagram d;
        d.command = SessionCommand::kPost;
        d.handle = handle;
        d.message = message;
        d.wParam = wParam;
        d.lParam = lParam;
        return socket_.SendTo(directory_.SocketPath(entry->pid), d);
    }

    // Like ShowWindow on another thread's window, the call returns once the
    // window's own thread has carried it out, so that whatever the caller
    // does next (ending that process, say) finds the window already changed.
    // A window whose thread does not answer in time is left to do it later.
    bool Show(int handle, int command, bool* wasVisible) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        SessionDatagram d;
        d.command = SessionCommand::kShow;
        d.handle = handle;
        d.value = command;
        auto answer = SessionRequest(directory_.Path(), directory_.SocketPath(entry->pid),
                                     std::move(d), kShowAnswerMs);
        if (answer && answer->value == 1) {
            *wasVisible = answer->payload == "visible";
            return true;
        }
        if (answer) return false;  // the window went before its thread got to it
        *wasVisible = entry->visible;
        return Foreign(handle).has_value();
    }

    int FindByTitle(std::u16string_view title) override {
        for (const auto& entry : directory_.ListWindows())
            if (entry.pid != ::getpid() && entry.title == title) return entry.handle;
        return 0;
    }

    bool Owner(int handle, DWORD* threadId, DWORD* processId) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        *threadId = entry->threadId;
        *processId = static_cast<DWORD>(entry->pid);
        return true;
    }

    bool Title(int handle, std::u16string* title) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        *title = entry->title;
        return true;
    }

    bool Rect(int handle, RECT* rect) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        *rect = entry->rect;
        return true;
    }

    bool Visible(int handle, bool* visible, bool* iconic) override {
        auto entry = Foreign(handle);
        if (!entry) return false;
        *visible = entry->visible;
        *iconic = entry->iconic;
        return true;
    }

    // WindowObserver
    void TopLevelChanged(const TopLevelState& state) override {
        SessionWindowEntry entry;
        entry.handle = state.handle;
        entry.pid = ::getpid();
        entry.processStart = processStart_;
        entry.threadId = state.threadId;
        entry.visible = state.visible;
        entry.iconic = state.iconic;
        entry.rect = state.rect;
        entry.title = state.title;
        // FIXME: a failed write leaves other processes with the previous state;
        // there is nobody to tell.
        (void)directory_.WriteWindow(entry);
        std::lock_guard lock(mutex_);
        published_.insert(state.handle);
    }

    void TopLevelDestroyed(int handle) override {
        directory_.RemoveWindow(handle);
        std::lock_guard lock(mutex_);
        published_.erase(handle);
    }

    bool SendReply(const std::string& to, std::uint32_t requestId, bool ok, std::string payload) {
        SessionDatagram d;
        d.command = SessionCommand::kReply;
        d.requestId = requestId;
        d.value = ok ? 1 : 0;
        d.payload = std::move(payload);
        if (d.payload.size() > kMaxSessionDatagram - 64) d.payload.resize(kMaxSessionDatagram - 64);
        return socket_.SendTo(to, d);
    }

  private:
    // A window of another process; this process's own windows are found in
    // the registry, never through the directory.
    std::optional<SessionWindowEntry> Foreign(int handle) {
        auto entry = directory_.ReadWindow(handle);
        if (!entry || entry->pid == ::getpid()) return std::nullopt;
        return entry;
    }

    int NextHandle() {
        std::lock_guard lock(mutex_);
        if (nextHandle_ == 0 || nextHandle_ >= blockEnd_) {
            const int first = directory_.AllocateHandles(kHandleBlock);
            if (first == 0) return 0;
            nextHandle_ = first;
            blockEnd_ = first + kHandleBlock;
        }
        return nextHandle_++;
    }

    void Leave() {
        std::set<int> published;
        {
            std::lock_guard lock(mutex_);
            published.swap(published_);
        }
        for (int handle : published) directory_.RemoveWindow(handle);
        socket_.Close();
    }

    bool ReplyPathIsOurs(const std::string& path) const {
        const std::string prefix = directory_.Path() + "/.tmp-";
        return path.starts_with(prefix) && path.find("/..") == std::string::npos;
    }

    void ServeWaitingDatagrams() {
        int dropped = 0;
        // Bounded, so that a flood cannot starve the thread's own messages.
        for (int served = 0; served < 256; ++served) {
            auto datagram = socket_.Receive(&dropped);
            if (!datagram) return;
            Serve(*datagram);
        }
    }

    void Serve(const SessionDatagram& d) {
        const HWND hwnd = HwndFromInt(d.handle);
        const bool local = FindRecord(hwnd) != nullptr;
        switch (d.command) {
            case SessionCommand::kPost:
                if (local)
                    PostMessageW(hwnd, d.message, static_cast<WPARAM>(d.wParam),
                                 static_cast<LPARAM>(d.lParam));
                return;
            case SessionCommand::kShow:
                // Without a reply address the caller does not wait.
                if (d.replyTo.empty()) {
                    if (local)
                        PostWindowTask(hwnd,
                                       [hwnd, command = d.value] { ShowWindow(hwnd, command); });
                    return;
                }
                break;
            case SessionCommand::kTree:
            case SessionCommand::kClick:
            case SessionCommand::kSnapshot:
                break;
            case SessionCommand::kReply:
                return;  // nobody asked on this socket
        }
        if (!ReplyPathIsOurs(d.replyTo)) return;
        const std::string replyTo = d.replyTo;
        const std::uint32_t id = d.requestId;
        if (!local) {
            SendReply(replyTo, id, false, "no such window");
            return;
        }
        std::function<void()> task;
        if (d.command == SessionCommand::kTree) {
            task = [this, hwnd, replyTo, id] {
                SendReply(replyTo, id, true, DescribeWindowTree(hwnd));
            };
        } else if (d.command == SessionCommand::kShow) {
            task = [this, hwnd, replyTo, id, command = d.value] {
                const bool wasVisible = ShowWindow(hwnd, command) != FALSE;
                SendReply(replyTo, id, true, wasVisible ? "visible" : "hidden");
            };
        } else if (d.command == SessionCommand::kClick) {
            task = [this, hwnd, replyTo, id] {
                SendMessageW(hwnd, kButtonClick, 0, 0);
                SendReply(replyTo, id, true, "");
            };
        } else {
            task = [this, hwnd, replyTo, id, path = d.path] {
                const bool ok = SnapshotWindow(hwnd, path);
                SendReply(replyTo, id, ok, ok ? "" : "no snapshot");
            };
        }
        if (!PostWindowTask(hwnd, task)) SendReply(replyTo, id, false, "no such window");
    }

    SessionDirectory directory_;
    SessionSocket socket_;
    std::string error_;
    unsigned long long processStart_ = 0;
    std::mutex mutex_;
    bool attached_ = false;
    int nextHandle_ = 0;
    int blockEnd_ = 0;
    std::set<int> published_;
};

std::once_flag g_openOnce;
bool g_open = false;

// window: the published top-level window whose process answers; target:
// the window the request is about.
std::optional<SessionDatagram> Ask(HWND window, HWND target, SessionDatagram request,
                                   int timeoutMs) {
    if (!EnsureDesktopSession()) return std::nullopt;
    auto& directory = DesktopSession::Instance()->Directory();
    auto entry = directory.ReadWindow(HwndToInt(window));
    if (!entry) return std::nullopt;
    request.handle = HwndToInt(target);
    return SessionRequest(directory.Path(), directory.SocketPath(entry->pid), std::move(request),
                          timeoutMs);
}

}  // namespace

bool EnsureDesktopSession() {
    std::call_once(g_openOnce, [] { g_open = DesktopSession::Instance()->Open(); });
    return g_open;
}

void AttachDesktopSessionToThisThread() {
    if (EnsureDesktopSession()) DesktopSession::Instance()->AttachToThisThread();
}

SessionDirectory* DesktopSessionDirectory() {
    return EnsureDesktopSession() ? &DesktopSession::Instance()->Directory() : nullptr;
}

std::string DesktopSessionError() {
    EnsureDesktopSession();
    return DesktopSession::Instance()->Error();
}

bool RequestWindowTree(HWND window, std::string* tree, int timeoutMs) {
    SessionDatagram request;
    request.command = SessionCommand::kTree;
    auto answer = Ask(window, window, request, timeoutMs);
    if (!answer || answer->value != 1) return false;
    if (tree != nullptr) *tree = answer->payload;
    return true;
}

bool RequestClick(HWND window, HWND control, int timeoutMs) {
    if (control != window && !IsChild(window, control) && FindRecord(window) != nullptr)
        return false;
    SessionDatagram request;
    request.command = SessionCommand::kClick;
    auto answer = Ask(window, control, request, timeoutMs);
    return answer && answer->value == 1;
}

bool RequestSnapshot(HWND window, const std::string& pngPath, int timeoutMs) {
    SessionDatagram request;
    request.command = SessionCommand::kSnapshot;
    request.path = pngPath;
    auto answer = Ask(window, window, request, timeoutMs);
    return answer && answer->value == 1;
}

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void PutHexText(std::ostringstream& out, std::u16string_view text) {
    for (char16_t c : text)
        for (int shift = 12; shift >= 0; shift -= 4) out << kHexDigits[(c >> shift) & 0xF];
}

// Rows stop short of what one datagram can carry; the windows always fit.
constexpr std::size_t kRowBudget = kMaxSessionDatagram - 8 * 1024;

}  // namespace

std::string DescribeWindowTree(HWND window) {
    std::ostringstream out;
    std::vector<int> handles;
    std::vector<std::string> lines;
    {
        std::lock_guard lock(RegistryMutex());
        const WindowRecord* root = FindLocked(window);
        if (root == nullptr) return {};
        const int rootDepth = DepthLocked(*root);
        for (int handle : SubtreeLocked(root->handle)) {
            const WindowRecord* r = FindLocked(handle);
            const RECT rect = WindowScreenRectLocked(*r);
            std::string className;
            for (char16_t c : r->className)
                className.push_back(c < 0x80 && c > 0x20 ? static_cast<char>(c) : '_');
            std::ostringstream line;
            line << (DepthLocked(*r) - rootDepth) << ' ' << handle << ' ' << r->id << ' '
                 << className << ' ' << std::hex << r->style << std::dec << ' '
                 << (IsVisibleChainLocked(*r) ? 1 : 0) << ' '
                 << ((r->style & WS_DISABLED) == 0 ? 1 : 0) << ' ' << rect.left << ' ' << rect.top
                 << ' ' << rect.right << ' ' << rect.bottom << ' ';
            PutHexText(line, r->text);
            line << '\n';
            handles.push_back(handle);
            lines.push_back(line.str());
        }
    }
    // Row readers send messages to their window, so they run without the lock.
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size();
    for (std::size_t i = 0; i < handles.size(); ++i) {
        out << lines[i];
        const HWND hwnd = ToHwnd(handles[i]);
        WindowTreeRowReader reader = FindWindowTreeRowReader(hwnd);
        if (reader == nullptr || !IsWindow(hwnd)) continue;
        const std::vector<WindowTreeRow> rows = reader(hwnd);
        for (std::size_t index = 0; index < rows.size(); ++index) {
            std::ostringstream row;
            row << "row " << index << ' ' << rows[index].image << ' ' << rows[index].data;
            for (const auto& text : rows[index].texts) {
                row << " x";
                PutHexText(row, text);
            }
            row << '\n';
            const std::string line = row.str();
            if (size + line.size() > kRowBudget) break;
            size += line.size();
            out << line;
        }
    }
    return out.str();
}

}  // namespace tevorin::win
