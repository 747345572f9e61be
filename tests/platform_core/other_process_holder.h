#pragma once
// Another process that opens a file through CFile with given flags and keeps
// it open until the holder is destroyed: the way a running program holds its
// files while a test tries to open them.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/core/file.h"

inline constexpr int kHolderWatchdogMs = 10000;

class OtherProcessHolder {
public:
    OtherProcessHolder(const std::u16string& path, UINT flags) {
        int report[2];
        int release[2];
        if (pipe(report) != 0 || pipe(release) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        pid_ = fork();
        if (pid_ < 0) {
            ADD_FAILURE() << "fork failed";
            return;
        }
        if (pid_ == 0) {
            close(report[0]);
            close(release[1]);
            CFile file;
            const char opened = file.Open(path, flags) ? '1' : '0';
            if (write(report[1], &opened, 1) != 1) _exit(2);
            char ignored;
            // Blocks until the parent closes its end.
            while (read(release[0], &ignored, 1) > 0) {
            }
            file.Close();
            _exit(0);
        }
        close(report[1]);
        close(release[0]);
        release_ = release[1];
        pollfd waiting = {report[0], POLLIN, 0};
        char opened = 0;
        if (poll(&waiting, 1, kHolderWatchdogMs) == 1 && read(report[0], &opened, 1) == 1) {
            opened_ = opened == '1';
        } else {
            ADD_FAILURE() << "the other process did not report";
        }
        close(report[0]);
    }

    ~OtherProcessHolder() {
        if (release_ >= 0) close(release_);
        if (pid_ > 0) {
            int status = 0;
            EXPECT_EQ(waitpid(pid_, &status, 0), pid_);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }

    bool opened() const { return opened_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool opened_ = false;
};

