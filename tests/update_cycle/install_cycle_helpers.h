// Helpers for cycle tests that need more than the scratch installation
// itself: a release with chosen file contents, the updater started directly
// as the main program would start it, a pending-update file written by hand,
// and a stand-in main program that comes back every time it is killed.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace update_cycle {

// One file of a release: "name[:localdir[:regist]]", its bytes and whether
// it is a program.
struct ReleaseFile {
    std::string spec;
    std::string content;
    mode_t mode = 0644;
};

// Builds release `version` with tevorin-publish make from `files` (written
// into `inputDir` first) into `siteDir`, its files addressed below `baseUrl`.
// Empty when it worked, else what the tool said.
inline std::string PublishRelease(const std::string& version, const std::string& action,
                                  const std::vector<ReleaseFile>& files,
                                  const std::string& inputDir, const std::string& siteDir,
                                  const std::string& baseUrl) {
    std::vector<std::string> args = {"make",  "--version",     version,          "--action",
                                     action,  "--description", "Clearer calls.", "--base-url",
                                     baseUrl, "--out",         siteDir};
    for (const ReleaseFile& file : files) {
        const std::string name = file.spec.substr(0, file.spec.find(':'));
        if (!tevorin_test::WriteFile(inputDir + "/" + name, file.content, file.mode)) {
            return "cannot write " + name;
        }
        args.push_back(inputDir + "/" + file.spec);
    }
    const test_support::ProcessResult made = test_support::RunProcess(TEVORIN_PUBLISH_EXE, args);
    return made.exitCode == 0 ? std::string() : "tevorin-publish failed: " + made.err;
}

// The command line the main program gives its updater.
inline std::vector<std::string> UpdaterArguments(bool userUpgrade) {
    std::vector<std::string> args = {"<handle>1</handle>"};
    if (userUpgrade) args.push_back("<userupgrade>TRUE</userupgrade>");
    return args;
}

inline void AppendLittleEndian(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A pending-update file as an earlier silent run writes it: header, then one
// 876-byte record per file name, holding only the name (ASCII names).
inline std::string PendingUpdateBytes(std::uint32_t installedVersion, std::uint32_t serverVersion,
                                      const std::vector<std::string>& fileNames) {
    constexpr std::size_t kRecordSize = 876;
    constexpr std::size_t kFilenameOffset = 638;
    std::string bytes;
    AppendLittleEndian(bytes, 0xCBAA2041u);
    AppendLittleEndian(bytes, installedVersion);
    AppendLittleEndian(bytes, serverVersion);
    AppendLittleEndian(bytes, static_cast<std::uint32_t>(fileNames.size()));
    for (const std::string& name : fileNames) {
        std::string record(kRecordSize, '\0');
        for (std::size_t i = 0; i < name.size() && i < 63; ++i)
            record[kFilenameOffset + 2 * i] = name[i];
        bytes += record;
    }
    return bytes;
}

inline std::uint32_t LittleEndianAt(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) |
                static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    }
    return value;
}

// A main program that SIGKILL cannot keep away: a keeper process holds
// several processes named Tevorin.exe, starts a new one whenever one dies, and
// counts the deaths. Everything it started goes when the object goes.
class UndyingMainProgram {
  public:
    static constexpr int kStanding = 3;

    UndyingMainProgram() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        const pid_t keeper = ::fork();
        if (keeper < 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return;
        }
        if (keeper == 0) {
            // Only system calls from here on: the test process has threads.
            ::close(fds[0]);
            (void)::setpgid(0, 0);
            (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
            // Several stand at once and each death is replaced at once, so
            // that however late a replacement starts on a busy machine, every
            // lookup of the stopping loop finds one still alive.
            const auto startOne = [] {
                const pid_t child = ::fork();
                if (child == 0) {
                    (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
                    (void)::prctl(PR_SET_NAME, "Tevorin.exe", 0, 0, 0);
                    for (;;) ::pause();
                }
                return child;
            };
            for (int i = 0; i < kStanding; ++i)
                if (startOne() < 0) ::_exit(1);
            for (;;) {
                int status = 0;
                pid_t gone = 0;
                while ((gone = ::waitpid(-1, &status, 0)) < 0 && errno == EINTR) {
                }
                if (gone < 0) ::_exit(1);
                if (startOne() < 0) ::_exit(1);
                if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
                    (void)!::write(fds[1], "k", 1);
                }
            }
        }
        ::close(fds[1]);
        keeper_ = keeper;
        deaths_ = fds[0];
        (void)::fcntl(deaths_, F_SETFL, O_NONBLOCK);
    }
    ~UndyingMainProgram() {
        if (keeper_ > 0) {
            ::kill(-keeper_, SIGKILL);
            ::kill(keeper_, SIGKILL);
            int status = 0;
            while (::waitpid(keeper_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        if (deaths_ >= 0) ::close(deaths_);
    }
    UndyingMainProgram(const UndyingMainProgram&) = delete;
    UndyingMainProgram& operator=(const UndyingMainProgram&) = delete;

    bool Started() const { return keeper_ > 0; }

    // How many of its processes were killed so far.
    int Deaths() {
        char buffer[256];
        for (;;) {
            const ssize_t n = ::read(deaths_, buffer, sizeof buffer);
            if (n > 0) {
                deaths_seen_ += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            return deaths_seen_;
        }
    }

  private:
    pid_t keeper_ = -1;
    int deaths_ = -1;
    int deaths_seen_ = 0;
};

}  // namespace update_cycle
