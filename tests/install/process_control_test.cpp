#include "install/process_control.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace {

// A process list that the test scripts: each process survives a given number
// of termination requests. Every call is written to a log.
class FakeServices final : public ProcessServices {
public:
    struct Process {
        DWORD id;
        std::u16string name;
        int survivesTerminations;  // -1: never ends
    };

    explicit FakeServices(std::vector<Process> processes) : processes_(std::move(processes)) {}

    bool snapshotFails = false;
    bool terminationRefused = false;
    int snapshots = 0;
    std::vector<DWORD> terminated;
    std::vector<UINT> exitCodes;
    std::vector<DWORD> sleeps;
    std::string log;  // L = list taken, T = termination requested, S = sleep

    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        ++snapshots;
        log += 'L';
        entries.clear();
        if (snapshotFails) return false;
        for (const Process& p : processes_) entries.push_back({p.id, p.name});
        return true;
    }
    bool Terminate(DWORD processId, UINT exitCode) override {
        log += 'T';
        terminated.push_back(processId);
        exitCodes.push_back(exitCode);
        if (terminationRefused) return false;
        for (auto it = processes_.begin(); it != processes_.end(); ++it) {
            if (it->id != processId) continue;
            if (it->survivesTerminations == 0) {
                processes_.erase(it);
            } else if (it->survivesTerminations > 0) {
                --it->survivesTerminations;
            }
            return true;
        }
        return false;
    }
    void Sleep(DWORD milliseconds) override {
        log += 'S';
        sleeps.push_back(milliseconds);
    }

private:
    std::vector<Process> processes_;
};

TEST(FindProcessByName, ComparesWholeNamesIgnoringCase) {
    FakeServices services({{4, u"init", -1},
                           {10, u"Tevorin.exe.bak", -1},
                           {11, u"Tevorin", -1},
                           {12, u"TEVORIN.EXE", -1},
                           {13, u"tevorin.exe", -1},
                           {14, u"Tevorin.exe", -1}});
    struct Case {
        const char16_t* name;
        DWORD expected;
    };
    const Case cases[] = {
        {u"Tevorin.exe", 12},  // first match in list order
        {u"tevorin.EXE", 12},
        {u"Tevorin", 11},
        {u"Tevorin.exe.bak", 10},
        {u"Tevorin.ex", 0},
        {u"evorin.exe", 0},
        {u"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindProcessByName(c.name, services), c.expected)
            << "name index " << (&c - cases);
    }
    services.snapshotFails = true;
    EXPECT_EQ(FindProcessByName(u"Tevorin.exe", services), 0u);
}

TEST(KillProcessByName, TerminatesTheFirstMatchOnly) {
    FakeServices services({{20, u"Tevorin.exe", -1}, {21, u"Tevorin.exe", -1}});
    EXPECT_TRUE(KillProcessByName(u"Tevorin.exe", services));
    EXPECT_EQ(services.terminated, (std::vector<DWORD>{20}));
    EXPECT_EQ(services.exitCodes, (std::vector<UINT>{0xFFFFFFFFu}));

    EXPECT_TRUE(KillProcessByName(u"other.exe", services));  // nothing to stop
    EXPECT_EQ(services.terminated.size(), 1u);

    services.terminationRefused = true;
    EXPECT_FALSE(KillProcessByName(u"tevorin.exe", services));
}

TEST(StopMainProgram, BoundedAttemptsWithPauses) {
    using Process = FakeServices::Process;
    struct Case {
        const char* name;
        std::vector<Process> processes;
        bool refuse;
        bool listFails;
        int expectedTerminations;
    };
    const Case cases[] = {
        {"not running", {{5, u"other", -1}}, false, false, 0},
        {"list cannot be taken", {{7, u"Tevorin.exe", -1}}, false, true, 0},
        {"ends at the first attempt", {{7, u"Tevorin.exe", 0}}, false, false, 1},
        {"ends at the third attempt", {{7, u"tevorin.EXE", 2}}, false, false, 3},
        {"two instances", {{7, u"Tevorin.exe", 0}, {8, u"Tevorin.exe", 1}}, false, false, 3},
        {"survives every attempt", {{7, u"Tevorin.exe", -1}}, false, false, kStopMainProgramAttempts},
        {"cannot be terminated", {{7, u"Tevorin.exe", 0}}, true, false, kStopMainProgramAttempts},
    };
    for (const Case& c : cases) {
        FakeServices services(c.processes);
        services.terminationRefused = c.refuse;
        services.snapshotFails = c.listFails;
        StopMainProgram(services);

        const int passes = c.expectedTerminations;
        EXPECT_EQ(static_cast<int>(services.terminated.size()), passes) << c.name;
        EXPECT_EQ(services.sleeps, std::vector<DWORD>(passes, kStopMainProgramPauseMs)) << c.name;
        // Each pass: the kill's own lookup, the termination, the pause, and a
        // lookup of the loop, except after the last possible pass.
        std::string expectedLog = "L";
        for (int pass = 1; pass <= passes; ++pass) {
            expectedLog += "LTS";
            if (pass < kStopMainProgramAttempts) expectedLog += "L";
        }
        EXPECT_EQ(services.log, expectedLog) << c.name;
    }
}

TEST(StopMainProgram, MakesExactlyFiftyTwoAttempts) {
    FakeServices services({{7, u"Tevorin.exe", -1}});
    StopMainProgram(services);
    EXPECT_EQ(services.terminated.size(), 52u);
    EXPECT_EQ(services.sleeps.size(), 52u);
    // The first lookup and 51 between passes, plus the one inside each attempt.
    EXPECT_EQ(services.snapshots, 52 + 52);
}

// The real process list and termination, with one test process standing in
// for the main program (and any real main program hidden from the loop).
class StandInServices final : public ProcessServices {
public:
    explicit StandInServices(DWORD standIn) : standIn_(standIn) {}
    int sleeps = 0;

    bool TakeSnapshot(std::vector<ProcessEntry>& entries) override {
        if (!SystemProcessServices().TakeSnapshot(entries)) return false;
        for (ProcessEntry& entry : entries) {
            if (entry.exeFile == kMainProgramImageName) entry.exeFile = u"hidden";
            if (entry.processId == standIn_) entry.exeFile = kMainProgramImageName;
        }
        return true;
    }
    bool Terminate(DWORD processId, UINT exitCode) override {
        EXPECT_EQ(processId, standIn_);
        return processId == standIn_ && SystemProcessServices().Terminate(processId, exitCode);
    }
    void Sleep(DWORD milliseconds) override {
        ++sleeps;
        SystemProcessServices().Sleep(milliseconds);
    }

private:
    DWORD standIn_;
};

TEST(StopMainProgram, EndsARealProcessThatIgnoresPoliteRequests) {
    tevorin_test::ScratchDir dir;
    ASSERT_TRUE(dir.Valid());
    const std::string script = dir / "tvstandin.exe";
    ASSERT_TRUE(tevorin_test::WriteFile(
        script, "#!/bin/sh\ntrap '' TERM INT HUP\nwhile :; do sleep 1; done\n", 0755));
    const pid_t child = fork();
    if (child == 0) {
        execl(script.c_str(), script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    // Wait until the script runs under its own name.
    bool listed = false;
    for (int i = 0; i < 500 && !listed; ++i) {
        listed = FindProcessByName(u"TVSTANDIN.EXE") == static_cast<DWORD>(child);
        if (!listed) usleep(10000);
    }
    ASSERT_TRUE(listed);

    StandInServices services(static_cast<DWORD>(child));
    StopMainProgram(services);
    EXPECT_EQ(FindProcessByName(kMainProgramImageName, services), 0u);
    EXPECT_EQ(services.sleeps, 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
}

}  // namespace
