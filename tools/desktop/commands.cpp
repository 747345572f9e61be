#include "tools/desktop/commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "platform/core/text.h"
#include "platform/win/desktop_session.h"
#include "platform/win/messages.h"
#include "platform/win/remote_windows.h"
#include "platform/win/session_directory.h"
#include "tools/desktop/tool_text.h"
#include "tools/desktop/window_tree_lines.h"

using namespace tevorin::win;

namespace desktop_tool {
namespace {

constexpr const char kUsage[] =
    "usage: tevorin-desktop list\n"
    "       tevorin-desktop tree HANDLE\n"
    "       tevorin-desktop click HANDLE ID\n"
    "       tevorin-desktop post HANDLE MSG WPARAM LPARAM\n"
    "       tevorin-desktop close HANDLE\n"
    "       tevorin-desktop snapshot HANDLE FILE.png\n"
    "       tevorin-desktop wait TITLE [SECONDS]\n"
    "Numbers are decimal or 0x hexadecimal. The session is the one in TEVORIN_DESKTOP.\n";

constexpr long long kDefaultWaitMs = 10000;

int Usage(const char* problem) {
    std::fprintf(stderr, "tevorin-desktop: %s\n%s", problem, kUsage);
    return kBadArguments;
}

SessionDirectory* OpenSession() {
    if (!EnsureDesktopSession()) {
        std::fprintf(stderr, "tevorin-desktop: cannot use the desktop session %s: %s\n",
                     DefaultSessionDirectory().c_str(), DesktopSessionError().c_str());
        return nullptr;
    }
    return DesktopSessionDirectory();
}

// A published top-level window named on the command line; prints why not.
std::optional<SessionWindowEntry> TopLevelWindow(SessionDirectory& session, const std::string& arg,
                                                 int* exitCode) {
    *exitCode = kBadArguments;
    const auto handle = ParseUnsigned(arg, 0x7FFFFFFF);
    if (!handle || *handle == 0) {
        std::fprintf(stderr, "tevorin-desktop: '%s' is not a window handle\n", arg.c_str());
        return std::nullopt;
    }
    auto entry = session.ReadWindow(static_cast<int>(*handle));
    if (!entry) {
        std::fprintf(stderr, "tevorin-desktop: no top-level window %s in the desktop session\n",
                     arg.c_str());
        return std::nullopt;
    }
    return entry;
}

int List(SessionDirectory& session) {
    for (const auto& w : session.ListWindows()) {
        std::printf("%d\t%d\t%d\t%s\t%s\n", w.handle, static_cast<int>(w.pid), w.visible ? 1 : 0,
                    FormatRect(w.rect).c_str(), EscapeText(w.title).c_str());
    }
    return kSuccess;
}

std::optional<std::vector<ChildWindow>> Children(const SessionWindowEntry& window) {
    std::string answer;
    if (!RequestWindowTree(HwndFromInt(window.handle), &answer, kAnswerTimeoutMs)) {
        std::fprintf(stderr, "tevorin-desktop: window %d did not describe its children\n",
                     window.handle);
        return std::nullopt;
    }
    auto children = ParseWindowTree(answer);
    if (!children)
        std::fprintf(stderr, "tevorin-desktop: window %d answered with a malformed tree\n",
                     window.handle);
    return children;
}

int Tree(const SessionWindowEntry& window) {
    auto children = Children(window);
    if (!children) return kFailed;
    for (const auto& child : *children) {
        std::printf("%s\n", FormatChildLine(child).c_str());
        for (const auto& row : child.rows) std::printf("%s\n", FormatRowLine(row).c_str());
    }
    return kSuccess;
}

int Click(const SessionWindowEntry& window, const std::string& idArg) {
    const auto id = ParseUnsigned(idArg, 0x7FFFFFFF);
    if (!id) {
        std::fprintf(stderr, "tevorin-desktop: '%s' is not a control id\n", idArg.c_str());
        return kBadArguments;
    }
    auto children = Children(window);
    if (!children) return kFailed;
    const ChildWindow* control = FindChildById(*children, static_cast<int>(*id));
    if (control == nullptr) {
        std::fprintf(stderr, "tevorin-desktop: window %d has no control with id %s\n",
                     window.handle, idArg.c_str());
        return kBadArguments;
    }
    // A user's mouse cannot reach a control that is hidden or disabled.
    if (!control->visible || !control->enabled) {
        std::fprintf(stderr,
                     "tevorin-desktop: control %s of window %d is %s; a click does nothing\n",
                     idArg.c_str(), window.handle, control->visible ? "disabled" : "hidden");
        return kFailed;
    }
    if (!RequestClick(HwndFromInt(window.handle), HwndFromInt(control->handle), kAnswerTimeoutMs)) {
        std::fprintf(stderr, "tevorin-desktop: window %d did not confirm the click\n",
                     window.handle);
        return kFailed;
    }
    return kSuccess;
}

int Post(const SessionWindowEntry& window, UINT message, WPARAM wParam, LPARAM lParam) {
    RemoteWindows* remote = GetRemoteWindows();
    if (remote == nullptr || !remote->Post(window.handle, message, wParam, lParam)) {
        std::fprintf(stderr, "tevorin-desktop: cannot post to window %d\n", window.handle);
        return kFailed;
    }
    return kSuccess;
}

int PostArguments(const SessionWindowEntry& window, const std::vector<std::string>& args) {
    const auto message = ParseUnsigned(args[2], 0xFFFFFFFF);
    const auto wParam = ParseMessageParameter(args[3]);
    const auto lParam = ParseMessageParameter(args[4]);
    if (!message) return Usage(("'" + args[2] + "' is not a message number").c_str());
    if (!wParam) return Usage(("'" + args[3] + "' is not a WPARAM").c_str());
    if (!lParam) return Usage(("'" + args[4] + "' is not an LPARAM").c_str());
    return Post(window, static_cast<UINT>(*message), static_cast<WPARAM>(*wParam),
                static_cast<LPARAM>(*lParam));
}

int Snapshot(const SessionWindowEntry& window, const std::string& file) {
    if (file.empty()) return Usage("the snapshot needs a file name");
    // The window's process writes the file; its working directory is not ours.
    std::string path = file;
    if (path[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) == nullptr) {
            std::perror("tevorin-desktop: getcwd");
            return kFailed;
        }
        path = std::string(cwd) + "/" + file;
    }
    if (!RequestSnapshot(HwndFromInt(window.handle), path, kAnswerTimeoutMs)) {
        std::fprintf(stderr, "tevorin-desktop: window %d wrote no snapshot to %s\n", window.handle,
                     path.c_str());
        return kFailed;
    }
    return kSuccess;
}

int Wait(SessionDirectory& session, const std::string& title, long long limitMs) {
    const std::u16string wanted = Utf8ToUtf16(title);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        for (const auto& w : session.ListWindows()) {
            if (w.title == wanted) {
                std::printf("%d\n", w.handle);
                return kSuccess;
            }
        }
        if (std::chrono::steady_clock::now() >= end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "tevorin-desktop: no window titled '%s' appeared\n", title.c_str());
    return kFailed;
}

// Commands that name a top-level window as their first argument.
int WindowCommand(SessionDirectory& session, const std::vector<std::string>& args) {
    const std::string& command = args[0];
    int exitCode = kBadArguments;
    auto window = TopLevelWindow(session, args[1], &exitCode);
    if (!window) return exitCode;
    if (command == "tree") return Tree(*window);
    if (command == "click") return Click(*window, args[2]);
    if (command == "post") return PostArguments(*window, args);
    if (command == "close") return Post(*window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return Snapshot(*window, args[2]);
}

}  // namespace

int RunCommand(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("no command given");
    const std::string& command = args[0];
    struct Arity {
        const char* name;
        std::size_t least;
        std::size_t most;
    };
    static constexpr Arity kCommands[] = {
        {"list", 1, 1},  {"tree", 2, 2},     {"click", 3, 3}, {"post", 5, 5},
        {"close", 2, 2}, {"snapshot", 3, 3}, {"wait", 2, 3},
    };
    const Arity* arity = nullptr;
    for (const auto& candidate : kCommands)
        if (command == candidate.name) arity = &candidate;
    if (arity == nullptr) return Usage(("unknown command '" + command + "'").c_str());
    if (args.size() < arity->least || args.size() > arity->most)
        return Usage(("wrong number of arguments for '" + command + "'").c_str());

    long long waitMs = kDefaultWaitMs;
    if (command == "wait" && args.size() == 3) {
        const auto parsed = ParseSeconds(args[2]);
        if (!parsed) return Usage(("'" + args[2] + "' is not a number of seconds").c_str());
        waitMs = *parsed;
    }

    SessionDirectory* session = OpenSession();
    if (session == nullptr) return kFailed;
    if (command == "list") return List(*session);
    if (command == "wait") return Wait(*session, args[1], waitMs);
    return WindowCommand(*session, args);
}

}  // namespace desktop_tool
