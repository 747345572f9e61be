#include "support/x_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

extern char** environ;

namespace test_support {

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

std::unique_ptr<TestXServer> TestXServer::Start(Kind kind, std::string* whyNot) {
    std::unique_ptr<TestXServer> server(new TestXServer());
    if (kind == Kind::kSharedIfAny) {
        const char* shared = std::getenv("TEVORIN_TEST_X_DISPLAY");
        if (shared != nullptr && *shared != '\0') {
            server->display_ = shared;
            return server;
        }
    }
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
        *whyNot = "Xvfb is not installed";
        return nullptr;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        *whyNot = "no pipe for Xvfb";
        return nullptr;
    }
    // Xvfb picks a free display number and writes it to the pipe.
    const std::string fd = std::to_string(pipeFds[1]);
    std::vector<std::string> args = {xvfb, "-displayfd", fd,          "-screen",
                                     "0",  "800x600x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        *whyNot = "Xvfb does not start";
        return nullptr;
    }
    server->pid_ = pid;
    std::string number;
    pollfd waiting{pipeFds[0], POLLIN, 0};
    while (::poll(&waiting, 1, 10000) > 0) {
        char c = 0;
        if (::read(pipeFds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    ::close(pipeFds[0]);
    if (number.empty()) {
        *whyNot = "Xvfb did not report its display";
        return nullptr;  // the destructor ends it
    }
    server->display_ = ":" + number;
    return server;
}

bool TestXServer::Kill() {
    if (pid_ <= 0) return false;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return true;
}

TestXServer::~TestXServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

}  // namespace test_support
