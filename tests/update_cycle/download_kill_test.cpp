// The real updater killed (SIGKILL, as a power cut or a task manager would)
// at random moments after its download has begun, against a server that
// sends slowly enough for the kill to land inside the transfer. After every
// kill a complete run follows. The installation must end at the old version
// with its old files, or at the new version with every new file and the new
// stamp; a silent run must end with a pending update whose files are whole.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "install_cycle_helpers.h"
#include "update_cycle_fixture.h"

namespace {

using namespace update_cycle;
using namespace std::chrono_literals;

constexpr int kRounds = 30;
constexpr std::size_t kFileSize = 48 * 1024;
constexpr std::size_t kChunk = 4096;
constexpr auto kChunkPause = 10ms;
// The transfer of one file takes about 12 pauses; kills are spread over a
// little more, so that some land while files are expanded or installed.
constexpr int kLatestKillMs = 220;

// Bytes that gzip cannot shrink, so the compressed file is as slow to send.
std::string NoiseBytes(unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(kFileSize, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

struct InstalledFile {
    std::string spec;      // as published
    std::string location;  // below the installation directory
    std::string name;      // in the download folder
    bool existsBefore;
};

const std::vector<InstalledFile> kFiles = {
    {"codec.dll", "codec.dll", "codec.dll", true},
    {"ring.wav:sound", "sound/ring.wav", "ring.wav", true},
    {"big.dat", "big.dat", "big.dat", false},
};

std::string OldContent(std::size_t file) {
    return NoiseBytes(100 + static_cast<unsigned>(file));
}
std::string NewContent(std::size_t file) {
    return NoiseBytes(200 + static_cast<unsigned>(file));
}

// Serves one of the two releases, each body in small pieces with pauses.
class PacedSite {
  public:
    explicit PacedSite(std::string root) : root_(std::move(root)) {}
    void Use(const std::string& site) {
        std::lock_guard<std::mutex> lock(mutex_);
        site_ = site;
    }
    TestHttpServer::Handler Handler() {
        return [this](const HttpRequest& request) {
            std::string site;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                site = site_;
            }
            const std::string path = request.target.substr(0, request.target.find('?'));
            std::string body;
            if (path.find("..") != std::string::npos ||
                !ReadFile(root_ + "/" + site + path, body)) {
                return ResponseScript().Send(test_support::HttpResponseWithLength(404, "missing"));
            }
            if (path.rfind("/cs/", 0) == 0) {
                return ResponseScript().Send(test_support::HttpResponseWithLength(200, body));
            }
            ResponseScript script;
            script.Send(test_support::HttpResponseBytes(
                200, {"Content-Length: " + std::to_string(body.size())}, ""));
            for (std::size_t at = 0; at < body.size(); at += kChunk) {
                script.Pause(kChunkPause).Send(body.substr(at, kChunk));
            }
            return script;
        };
    }

  private:
    std::string root_;
    std::mutex mutex_;
    std::string site_;
};

class KilledDownload : public UpdateCycle {
  protected:
    std::string RoundDir(int round) const { return root_ / ("round-" + std::to_string(round)); }

    // An installation at the old version with the old files.
    void Prepare(const std::string& dir) {
        ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
        // The programs are those of the fixture's installation, linked.
        const std::string app = dir + "/app";
        ASSERT_EQ(mkdir(app.c_str(), 0755), 0);
        std::error_code failed;
        std::filesystem::copy_file(App("Tevorin.exe"), app + "/Tevorin.exe", failed);
        ASSERT_FALSE(failed) << failed.message();
        for (const char* program : {"tevorin-main", "TevorinLiveUpdate.exe"}) {
            std::filesystem::create_hard_link(App(program), app + "/" + program, failed);
            ASSERT_FALSE(failed) << program << ": " << failed.message();
        }
        ASSERT_EQ(mkdir((app + "/data").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((app + "/sound").c_str(), 0755), 0);
        ASSERT_TRUE(WriteFile(app + "/data/pro.ini", "[Window]\nlang=ch\n"));
        for (std::size_t i = 0; i < kFiles.size(); ++i) {
            if (kFiles[i].existsBefore) {
                ASSERT_TRUE(WriteFile(app + "/" + kFiles[i].location, OldContent(i)));
            }
        }
    }

    static DWORD StampOf(const std::string& app) {
        DWORD stamp = 0;
        return ReadVersionStamp(U16(app + "/Tevorin.exe"), stamp) ? stamp : 0;
    }

    // Installed files that are new; every other one must be whole and old.
    static std::size_t NewFiles(const std::string& app, const std::string& moment) {
        std::size_t fresh = 0;
        for (std::size_t i = 0; i < kFiles.size(); ++i) {
            std::string content;
            const bool present = ReadFile(app + "/" + kFiles[i].location, content);
            if (present && content == NewContent(i)) {
                ++fresh;
                continue;
            }
            if (kFiles[i].existsBefore) {
                EXPECT_TRUE(present && content == OldContent(i))
                    << moment << ": " << kFiles[i].location << " is neither old nor new ("
                    << content.size() << " bytes)";
            } else {
                EXPECT_FALSE(present) << moment << ": " << kFiles[i].location
                                      << " is not the new file (" << content.size() << " bytes)";
            }
        }
        return fresh;
    }

    // The stamp agrees with the files: new only with every new file.
    static void ExpectConsistent(const std::string& app, const std::string& moment) {
        const DWORD stamp = StampOf(app);
        EXPECT_TRUE(stamp == kInstalled || stamp == kOffered) << moment << ": stamp " << stamp;
        const std::size_t fresh = NewFiles(app, moment);
        if (stamp == kOffered) {
            EXPECT_EQ(fresh, kFiles.size()) << moment << ": new stamp, old files";
        }
    }

    // Waits for the process to end without reaping it, so that whatever it
    // shows can still be looked at when it does not.
    static bool Ends(const BackgroundProcess& process, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            siginfo_t ended{};
            if (::waitid(P_PID, static_cast<id_t>(process.Pid()), &ended,
                         WEXITED | WNOHANG | WNOWAIT) == 0 &&
                ended.si_pid == process.Pid()) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(10ms);
        }
    }

    // "pid command line" of every process whose name is Tevorin.exe.
    static std::vector<std::string> ProcessesNamedTevorinExe() {
        std::vector<std::string> found;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
            std::string name;
            std::string commandLine;
            if (!ReadFile(entry.path().string() + "/comm", name) || name != "Tevorin.exe\n")
                continue;
            (void)ReadFile(entry.path().string() + "/cmdline", commandLine);
            for (char& c : commandLine) c = c == '\0' ? ' ' : c;
            found.push_back(entry.path().filename().string() + " " + commandLine);
        }
        return found;
    }

    static bool AnyTemporaryFile(const std::string& dir) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) return true;
        }
        return false;
    }

    // A main program that a run restarted goes before the next round; it may
    // not have a window yet, so it is found by its command line, which names
    // the installation whether its launcher or the program itself runs.
    static void EndProgramsOf(const std::string& app) {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
            const std::string pid = entry.path().filename().string();
            if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
            std::string commandLine;
            if (!ReadFile(entry.path().string() + "/cmdline", commandLine)) continue;
            if (commandLine.find(app + "/") != std::string::npos) ::kill(std::stoi(pid), SIGKILL);
        }
    }
};

TEST_F(KilledDownload, EndsWithTheOldOrTheNewInstallationAfterTheNextRun) {
    std::vector<ReleaseFile> files;
    for (std::size_t i = 0; i < kFiles.size(); ++i)
        files.push_back({kFiles[i].spec, NewContent(i)});
    ASSERT_EQ(mkdir((root_ / "sites").c_str(), 0755), 0);
    PacedSite site(root_ / "sites");
    TestHttpServer server(site.Handler());
    ASSERT_TRUE(server.Started());
    setenv("TEVORIN_UPDATE_SERVER", server.Url("").c_str(), 1);
    for (const char* action : {"UserPrompt", "Default"}) {
        const std::string problem =
            PublishRelease("C1A2C", action, files, root_ / "input",
                           root_ / ("sites/" + std::string(action)), server.Url(""));
        ASSERT_TRUE(problem.empty()) << problem;
    }

    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> delayMs(0, kLatestKillMs);
    std::map<std::string, int> phases;
    for (int round = 0; round < kRounds; ++round) {
        const bool userRequest = round % 2 == 0;
        const std::string moment =
            std::string(userRequest ? "requested" : "silent") + " round " + std::to_string(round);
        site.Use(userRequest ? "UserPrompt" : "Default");
        ASSERT_NO_FATAL_FAILURE(Prepare(RoundDir(round))) << moment;
        const std::string app = RoundDir(round) + "/app";
        const std::string upgrade = app + "/upgrade/C1A2C";

        // The kill: a random moment after the first file was asked for.
        const std::size_t asked = server.Requests().size();
        {
            BackgroundProcess updater(app + "/TevorinLiveUpdate.exe", UpdaterArguments(userRequest),
                                      RoundDir(round) + "/killed.log");
            ASSERT_TRUE(updater.Started()) << moment;
            const auto limit = std::chrono::steady_clock::now() + 30s;
            bool fileAsked = false;
            while (!fileAsked && std::chrono::steady_clock::now() < limit) {
                const std::vector<HttpRequest> requests = server.Requests();
                for (std::size_t i = asked; i < requests.size(); ++i) {
                    if (requests[i].target.rfind("/cs/", 0) != 0) fileAsked = true;
                }
                if (!fileAsked) std::this_thread::sleep_for(1ms);
            }
            ASSERT_TRUE(fileAsked) << moment << ": the download never began";
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
            siginfo_t ended{};
            const bool ranToTheEnd = ::waitid(P_PID, static_cast<id_t>(updater.Pid()), &ended,
                                              WEXITED | WNOHANG | WNOWAIT) == 0 &&
                                     ended.si_pid == updater.Pid();
            ::kill(updater.Pid(), SIGKILL);
            (void)updater.WaitForExit(10s);

            if (ranToTheEnd) {
                ++phases["after the end"];
            } else if (StampOf(app) == kOffered) {
                ++phases["after the stamp"];
            } else if (NewFiles(app, moment) > 0) {
                ++phases["while installing"];
            } else if (Exists(upgrade + "/update.lock")) {
                ++phases["after storing"];
            } else if (AnyTemporaryFile(upgrade)) {
                ++phases["while transferring"];
            } else {
                ++phases["between transfer and installation"];
            }
        }
        ExpectConsistent(app, moment + " after the kill");
        const bool stored = Exists(upgrade + "/update.lock");
        EndProgramsOf(app);

        // The next run, complete.
        {
            BackgroundProcess again(app + "/TevorinLiveUpdate.exe", UpdaterArguments(userRequest),
                                    RoundDir(round) + "/again.log");
            if (!Ends(again, 40s)) {
                // What the run was waiting for, for whoever reads the log: a
                // question about a running Tevorin.exe means that a program
                // of that name outside this test was running.
                for (const DesktopWindow& window : Windows()) {
                    std::printf("%s: window of process %d titled \"%s\"\n", moment.c_str(),
                                static_cast<int>(window.pid), window.title.c_str());
                }
                for (const std::string& process : ProcessesNamedTevorinExe()) {
                    std::printf("%s: running %s\n", moment.c_str(), process.c_str());
                }
            }
            ASSERT_EQ(again.WaitForExit(1s), 0) << moment << ": the next run did not end";
        }
        ExpectConsistent(app, moment + " after the next run");
        if (userRequest || stored) {
            // A silent run that got as far as storing its update leaves it
            // for the next, which installs it.
            EXPECT_EQ(StampOf(app), kOffered) << moment << ": the next run did not install";
        } else {
            EXPECT_EQ(StampOf(app), kInstalled) << moment << ": a silent run installed";
            std::string lock;
            ASSERT_TRUE(ReadFile(upgrade + "/update.lock", lock)) << moment << ": nothing stored";
            ASSERT_EQ(lock.size(), 16 + 876 * kFiles.size()) << moment;
            EXPECT_EQ(LittleEndianAt(lock, 4), kInstalled) << moment;
            EXPECT_EQ(LittleEndianAt(lock, 8), kOffered) << moment;
            for (std::size_t i = 0; i < kFiles.size(); ++i) {
                EXPECT_TRUE(Content(upgrade + "/" + kFiles[i].name) == NewContent(i))
                    << moment << ": the stored " << kFiles[i].name << " is not whole";
            }
        }
        EXPECT_FALSE(AnyTemporaryFile(upgrade)) << moment << ": a partial download was left";
        EndProgramsOf(app);
    }

    std::string figures;
    for (const auto& [phase, count] : phases)
        figures += " " + phase + ": " + std::to_string(count) + ";";
    RecordProperty("KillPhases", figures);
    std::printf("%d rounds of the downloading updater killed;%s\n", kRounds, figures.c_str());
}

// A large file that expands slowly from a small download: the kill lands
// while the downloaded file is being expanded into the download folder.
class KilledExpansion : public UpdateCycle {};

TEST_F(KilledExpansion, NeverLeavesAPartFileUnderTheDownloadedName) {
    constexpr std::size_t kExpandedSize = 96u << 20;
    constexpr int kKills = 3;
    const std::string expanded(kExpandedSize, 'z');
    const std::string problem = PublishRelease("C1A2C", "Default", {{"voice.dat", expanded}},
                                               root_ / "input", root_ / "site", server_->Url(""));
    ASSERT_TRUE(problem.empty()) << problem;
    struct stat published {};
    ASSERT_EQ(stat((root_ / "site/c1a2c/voice.dat.gz").c_str(), &published), 0);

    const std::string target = App("upgrade/C1A2C/voice.dat");
    std::mt19937 random(1211);
    std::uniform_int_distribution<int> delayMs(0, 60);
    for (int round = 0; round < kKills; ++round) {
        BackgroundProcess updater(App("TevorinLiveUpdate.exe"), UpdaterArguments(false),
                                  root_ / ("killed" + std::to_string(round) + ".log"));
        ASSERT_TRUE(updater.Started());
        // The whole compressed file of this run has arrived (an earlier
        // killed run may have left its own): the expansion runs now.
        struct stat before {};
        const bool leftOver = stat((target + ".tmp").c_str(), &before) == 0;
        const auto limit = std::chrono::steady_clock::now() + 30s;
        struct stat arrived {};
        const auto thisRun = [&] {
            return stat((target + ".tmp").c_str(), &arrived) == 0 &&
                   arrived.st_size == published.st_size &&
                   (!leftOver || arrived.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                    arrived.st_mtim.tv_nsec != before.st_mtim.tv_nsec ||
                    arrived.st_ino != before.st_ino);
        };
        bool arrivedNow = false;
        while (!(arrivedNow = thisRun()) && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(arrivedNow) << "round " << round << ": nothing arrived";
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(updater.Pid(), SIGKILL);
        (void)updater.WaitForExit(10s);

        struct stat left {};
        if (stat(target.c_str(), &left) == 0) {
            EXPECT_EQ(static_cast<std::size_t>(left.st_size), kExpandedSize)
                << "round " << round << ": a partly expanded file passes for a download";
        }
        EXPECT_FALSE(Exists(App("upgrade/C1A2C/update.lock"))) << "round " << round;
    }

    BackgroundProcess again(App("TevorinLiveUpdate.exe"), UpdaterArguments(false),
                            root_ / "again.log");
    ASSERT_EQ(again.WaitForExit(60s), 0);
    EXPECT_TRUE(Content(target) == expanded) << "the stored file is not whole";
    EXPECT_TRUE(Exists(App("upgrade/C1A2C/update.lock")));
    EXPECT_EQ(Stamp(), kInstalled);
}

}  // namespace
