#include "local_nginx.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool Listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::string Which(const std::string& name) {
    for (const char* dir : {"/usr/sbin", "/usr/bin", "/usr/local/bin", "/sbin", "/bin"}) {
        const std::string path = std::string(dir) + "/" + name;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return "";
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

LocalNginx::LocalNginx() {
    const std::string nginx = Which("nginx");
    if (nginx.empty()) {
        error_ = "nginx is not installed";
        return;
    }
    char pattern[] = "/tmp/tevorin-download-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        error_ = "no temporary directory";
        return;
    }
    root_ = pattern;
    fs::create_directories(root_ + "/www");
    fs::create_directories(root_ + "/logs");
    WriteFile("many", 20, 10 * kMiB);
    WriteFile("large", 1, 200 * kMiB);
    port_ = FreePort();
    std::ofstream conf(root_ + "/nginx.conf");
    conf << "daemon off;\nmaster_process off;\nworker_processes 1;\n"
         << "pid " << root_ << "/nginx.pid;\nerror_log " << root_ << "/logs/error.log;\n"
         << "events { worker_connections 256; }\n"
         << "http {\n  access_log off;\n  sendfile on;\n"
         << "  client_body_temp_path " << root_ << "/logs;\n"
         << "  proxy_temp_path " << root_ << "/logs;\n"
         << "  fastcgi_temp_path " << root_ << "/logs;\n"
         << "  uwsgi_temp_path " << root_ << "/logs;\n"
         << "  scgi_temp_path " << root_ << "/logs;\n"
         << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    root " << root_
         << "/www;\n  }\n}\n";
    conf.close();
    pid_ = Spawn({nginx, "-p", root_, "-c", root_ + "/nginx.conf"});
    for (int i = 0; i < 200 && pid_ != 0 && !Listening(port_); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (pid_ == 0 || !Listening(port_)) error_ = "nginx did not start";
}

LocalNginx::~LocalNginx() {
    if (pid_ != 0) {
        ::kill(pid_, SIGTERM);
        WaitFor(pid_);
    }
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
}

std::string LocalNginx::Url(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

std::string LocalNginx::Scratch(const std::string& name) const {
    const std::string dir = root_ + "/" + name + "/";
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    fs::create_directories(dir);
    return dir;
}

void LocalNginx::WriteFile(const std::string& group, int count, std::size_t size) {
    std::string block(kMiB, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);
    for (int n = 0; n < count; ++n) {
        const std::string name = group + std::to_string(n) + ".bin";
        std::ofstream out(root_ + "/www/" + name, std::ios::binary);
        for (std::size_t written = 0; written < size; written += block.size())
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        names_[group].push_back(name);
        bytes_[group] += size;
    }
}

LocalNginx& Server() {
    static LocalNginx server;
    return server;
}
