#pragma once
// nginx on 127.0.0.1 serving generated files, for the download benchmarks:
// group "many" is 20 files of 10 MiB, group "large" one file of 200 MiB.

#include <sys/types.h>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

constexpr std::size_t kMiB = 1024 * 1024;

// The program's full path when it is installed (/usr/sbin is searched too),
// else an empty text.
std::string Which(const std::string& name);
// Starts a program directly; 0 when it cannot be started.
pid_t Spawn(const std::vector<std::string>& args);
// Its exit status; -1 when it did not exit normally.
int WaitFor(pid_t pid);

// Lives as long as the object. Error() is empty when the server runs.
class LocalNginx {
  public:
    LocalNginx();
    ~LocalNginx();
    LocalNginx(const LocalNginx&) = delete;
    LocalNginx& operator=(const LocalNginx&) = delete;

    const std::string& Error() const { return error_; }
    std::string Url(const std::string& name) const;
    std::vector<std::string> Names(const std::string& group) const { return names_.at(group); }
    std::size_t Bytes(const std::string& group) const { return bytes_.at(group); }
    // An empty directory of the given name beside the served files.
    std::string Scratch(const std::string& name) const;

  private:
    void WriteFile(const std::string& group, int count, std::size_t size);

    std::string root_;
    std::string error_;
    int port_ = 0;
    pid_t pid_ = 0;
    std::map<std::string, std::vector<std::string>> names_;
    std::map<std::string, std::size_t> bytes_;
};

// The one server of the benchmark program, started on first use.
LocalNginx& Server();
