#pragma once
// A program of ours running beside a test: started without a shell, its
// output going to a file, ended by the test or killed when the test is done.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace test_support {

class BackgroundProcess {
  public:
    // Starts `program` with `args`; stdout and stderr go to `outputPath`.
    BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::string& outputPath);
    ~BackgroundProcess();  // kills and reaps a process that still runs
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Waits for the exit: the exit code, or -1 when the process was killed by
    // a signal or did not end in time (then it is killed).
    int WaitForExit(std::chrono::milliseconds limit);
    bool Exited() const { return exited_; }

  private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

}  // namespace test_support
