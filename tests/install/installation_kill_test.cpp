// The installation killed at random moments (SIGKILL, as a power cut or a
// task manager would): no file is ever half-written in place of an old one,
// the stamp never claims the new version while an old file is still in
// place, and the pending-update file is never found cut short.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/version_stamp.h"
#include "install/pending_update.h"
#include "support/background_process.h"
#include "support/scratch_dir.h"
#include "tools/main/launcher_script.h"

namespace {

using test_support::BackgroundProcess;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WriteFile;

constexpr DWORD kOld = 0x10;
constexpr DWORD kNew = 0x11;
constexpr int kFiles = 6;
constexpr std::size_t kFileSize = 64 * 1024;
constexpr int kKillsPerMode = 12;

std::string Content(const char* which, int file) {
    std::string bytes(kFileSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 31 + file * 7 + which[0]) & 0xFF);
    }
    return bytes;
}

std::string Name(int file) {
    return "file" + std::to_string(file) + ".dat";
}

std::string Hex(DWORD v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(v));
    return buffer;
}

// An installation at the old version and a download directory with the new
// files (and, for the deferred installation, its update.lock).
class Scene {
  public:
    explicit Scene(bool withLock) {
        EXPECT_EQ(mkdir((root_ / "install").c_str(), 0755), 0);
        EXPECT_EQ(mkdir((root_ / "upgrade").c_str(), 0755), 0);
        EXPECT_TRUE(
            WriteFile(root_ / "install/Tevorin.exe", main_stand_in::LauncherScript(kOld), 0755));
        EXPECT_TRUE(WriteFile(root_ / "install/tevorin-main", "#!/bin/sh\nexit 0\n", 0755));
        UpdateFileList files;
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_TRUE(WriteFile(root_ / "install/" + Name(i), Content("old", i)));
            EXPECT_TRUE(WriteFile(root_ / "upgrade/" + Name(i), Content("new", i)));
            auto entry = std::make_unique<UpdateFileEntry>();
            CopyToSlot(entry->filename, U16(Name(i)));
            files.push_back(std::move(entry));
        }
        if (withLock) {
            lockImage_ = PendingUpdateImage(kOld, kNew, files);
            EXPECT_TRUE(WriteFile(root_ / "upgrade/update.lock", lockImage_));
        }
    }

    // Every installed file is whole, old or new; the stamp says new only
    // when every file is new.
    // Returns how many files were new.
    int ExpectConsistent(const std::string& moment) const {
        int newFiles = 0;
        for (int i = 0; i < kFiles; ++i) {
            std::string content;
            EXPECT_TRUE(ReadFile(root_ / "install/" + Name(i), content)) << moment << Name(i);
            const bool isNew = content == Content("new", i);
            EXPECT_TRUE(isNew || content == Content("old", i))
                << moment << ": " << Name(i) << " is neither the old nor the new file ("
                << content.size() << " bytes)";
            newFiles += isNew ? 1 : 0;
        }
        DWORD stamp = 0;
        EXPECT_TRUE(ReadVersionStamp(U16(root_ / "install/Tevorin.exe"), stamp)) << moment;
        EXPECT_TRUE(stamp == kOld || stamp == kNew) << moment;
        if (stamp == kNew) EXPECT_EQ(newFiles, kFiles) << moment << ": new stamp, old files";
        if (!lockImage_.empty()) {
            std::string lock;
            EXPECT_TRUE(ReadFile(root_ / "upgrade/update.lock", lock)) << moment;
            EXPECT_EQ(lock == lockImage_, true) << moment << ": update.lock changed";
        }
        return newFiles;
    }

    // What the next run brings: the download puts back every file that is
    // missing from the download directory, then the installation runs again.
    void Redownload() const {
        for (int i = 0; i < kFiles; ++i) {
            std::string ignored;
            if (!ReadFile(root_ / "upgrade/" + Name(i), ignored)) {
                EXPECT_TRUE(WriteFile(root_ / "upgrade/" + Name(i), Content("new", i)));
            }
        }
    }

    std::vector<std::string> Arguments(const std::string& mode) const {
        std::vector<std::string> args = {mode, root_ / "upgrade", root_ / "install"};
        if (mode == "deferred") {
            args.push_back(Hex(kOld));
            args.push_back(Hex(kNew));
        } else {
            args.push_back(Hex(kNew));
            for (int i = 0; i < kFiles; ++i) args.push_back(Name(i));
        }
        return args;
    }
    std::string operator/(const std::string& name) const { return root_ / name; }

  private:
    ScratchDir root_;
    std::string lockImage_;
};

// Kills the process `delay` after it announced that it has started working.
void KillAt(BackgroundProcess& process, const std::string& runningMarker,
            std::chrono::microseconds delay) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!tevorin_test::Exists(runningMarker) && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::this_thread::sleep_for(delay);
    if (process.Started()) ::kill(process.Pid(), SIGKILL);
    (void)process.WaitForExit(std::chrono::seconds(10));
}

TEST(InstallationKilled, LeavesWholeFilesAndAStampThatAgreesWithThem) {
    std::mt19937 random(20261211);
    int midway = 0;  // kills that left some files new and some old
    for (const char* mode : {"interactive", "deferred"}) {
        // Installing the files takes a few tens of milliseconds.
        std::uniform_int_distribution<int> delay(0, 60000);
        for (int round = 0; round < kKillsPerMode; ++round) {
            const std::string moment = std::string(mode) + " round " + std::to_string(round);
            Scene scene(std::string(mode) == "deferred");
            {
                BackgroundProcess runner(INSTALLATION_RUNNER, scene.Arguments(mode),
                                         scene / "out.txt");
                ASSERT_TRUE(runner.Started());
                KillAt(runner, scene / "running", std::chrono::microseconds(delay(random)));
            }
            const int newFiles = scene.ExpectConsistent(moment + " after the kill");
            if (newFiles > 0 && newFiles < kFiles) ++midway;
            if (std::string(mode) == "interactive") {
                // The next interactive run downloads what is missing and
                // installs everything.
                scene.Redownload();
                BackgroundProcess again(INSTALLATION_RUNNER, scene.Arguments(mode),
                                        scene / "again.txt");
                ASSERT_EQ(again.WaitForExit(std::chrono::seconds(20)), 0) << moment;
                scene.ExpectConsistent(moment + " after the next run");
                DWORD stamp = 0;
                ASSERT_TRUE(ReadVersionStamp(U16(scene / "install/Tevorin.exe"), stamp));
                EXPECT_EQ(stamp, kNew) << moment;
            }
        }
    }
    // How many kills landed between two files, for the record.
    RecordProperty("KillsBetweenFiles", midway);
    std::printf("%d of %d kills landed between two installed files\n", midway, 2 * kKillsPerMode);
}

TEST(PendingUpdateFileKilled, IsWholeOrAbsentNeverCutShort) {
    std::mt19937 random(1211);
    std::uniform_int_distribution<int> delay(0, 5000);
    for (int round = 0; round < kKillsPerMode; ++round) {
        Scene scene(false);
        std::vector<std::string> args = {"pending", scene / "upgrade", Hex(kNew)};
        UpdateFileList files;
        for (int i = 0; i < kFiles; ++i) {
            args.push_back(Name(i));
            auto entry = std::make_unique<UpdateFileEntry>();
            CopyToSlot(entry->filename, U16(Name(i)));
            files.push_back(std::move(entry));
        }
        const std::string expected = PendingUpdateImage(1, kNew, files);
        {
            BackgroundProcess writer(INSTALLATION_RUNNER, args, scene / "out.txt");
            ASSERT_TRUE(writer.Started());
            KillAt(writer, scene / "running", std::chrono::microseconds(delay(random)));
        }
        std::string lock;
        if (ReadFile(scene / "upgrade/update.lock", lock)) {
            EXPECT_EQ(lock.size(), expected.size()) << "round " << round;
            EXPECT_TRUE(lock == expected) << "round " << round;
        }
    }
}

}  // namespace
