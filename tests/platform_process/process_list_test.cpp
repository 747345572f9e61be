#include "platform/process/process_list.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/core/native_path.h"
#include "platform/process/process_control.h"
#include "support/scratch_dir.h"

namespace {

using tevorin_test::ScratchDir;
using tevorin_test::U16;

const ProcessEntry* FindEntry(const std::vector<ProcessEntry>& entries, DWORD pid) {
    for (const ProcessEntry& entry : entries) {
        if (entry.processId == pid) return &entry;
    }
    return nullptr;
}

// Starts `path` as a child of the test (so the test can collect it) and
// returns its id.
pid_t StartChild(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

bool WaitUntilListed(DWORD pid, const std::u16string& name) {
    for (int i = 0; i < 500; ++i) {
        std::vector<ProcessEntry> entries;
        if (TakeProcessSnapshot(entries)) {
            const ProcessEntry* entry = FindEntry(entries, pid);
            if (entry != nullptr && entry->exeFile == name) return true;
        }
        Sleep(10);
    }
    return false;
}

TEST(ProcessList, ListsOwnProcessUnderItsFullProgramName) {
    std::vector<ProcessEntry> entries;
    ASSERT_TRUE(TakeProcessSnapshot(entries));
    const ProcessEntry* self = FindEntry(entries, static_cast<DWORD>(getpid()));
    ASSERT_NE(self, nullptr);
    // This test program's name is longer than the kernel keeps; the list
    // still reports it whole.
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").filename();
    ASSERT_GT(program.size(), 15u);
    EXPECT_EQ(self->exeFile, FromNativePath(program));
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const ProcessEntry& a, const ProcessEntry& b) {
                                   return a.processId < b.processId;
                               }));
}

TEST(ProcessList, ReportsScriptsByTheirFileNameAndDropsEndedProcesses) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string script = dir / "Tv Sleep(1).exe";
    ASSERT_TRUE(tevorin_test::WriteFile(script, "#!/bin/sh\nwhile :; do sleep 1; done\n", 0755));
    const pid_t child = StartChild(script);
    ASSERT_GT(child, 0);
    const bool listed = WaitUntilListed(static_cast<DWORD>(child), U16("Tv Sleep(1).exe"));

    ASSERT_EQ(kill(child, SIGKILL), 0);
    // Not yet collected: the ended child must not be listed any more.
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT), 0);
    std::vector<ProcessEntry> entries;
    ASSERT_TRUE(TakeProcessSnapshot(entries));
    EXPECT_EQ(FindEntry(entries, static_cast<DWORD>(child)), nullptr);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(listed);
}

TEST(ProcessList, CompletesLongScriptNames) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string script = dir / "TevorinLiveUpdate.exe";
    ASSERT_TRUE(tevorin_test::WriteFile(script, "#!/bin/sh\nwhile :; do sleep 1; done\n", 0755));
    const pid_t child = StartChild(script);
    ASSERT_GT(child, 0);
    const bool listed = WaitUntilListed(static_cast<DWORD>(child), u"TevorinLiveUpdate.exe");
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(listed);
}

TEST(ProcessControl, TerminateEndsTheProcessAtOnce) {
    ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string script = dir / "tvkill.exe";
    ASSERT_TRUE(tevorin_test::WriteFile(script, "#!/bin/sh\ntrap '' TERM INT HUP\nwhile :; do sleep 1; done\n", 0755));
    const pid_t child = StartChild(script);
    ASSERT_GT(child, 0);
    ASSERT_TRUE(WaitUntilListed(static_cast<DWORD>(child), u"tvkill.exe"));

    ProcessHandle handle = OpenProcess(PROCESS_ALL_ACCESS_LEGACY, TRUE, static_cast<DWORD>(child));
    ASSERT_TRUE(handle.IsValid());
    EXPECT_EQ(TerminateProcess(handle, 0xFFFFFFFFu), TRUE);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

TEST(ProcessControl, HandleStaysBoundToItsProcess) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    // Opened before it is collected, so the id still names it.
    ProcessHandle handle = OpenProcess(PROCESS_ALL_ACCESS_LEGACY, TRUE, static_cast<DWORD>(child));
    ASSERT_TRUE(handle.IsValid());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    // The process is gone: the handle must not reach whatever gets its id next.
    EXPECT_EQ(TerminateProcess(handle, 0), FALSE);
}

TEST(ProcessControl, NoProcessNoHandle) {
    EXPECT_FALSE(OpenProcess(PROCESS_ALL_ACCESS_LEGACY, TRUE, 0).IsValid());
    EXPECT_EQ(TerminateProcess(ProcessHandle(), 0), FALSE);
    // Ids above the system's limit never name a process.
    EXPECT_FALSE(OpenProcess(PROCESS_ALL_ACCESS_LEGACY, TRUE, 0x7FFFFFF0u).IsValid());
}

}  // namespace
