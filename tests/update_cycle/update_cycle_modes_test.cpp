// Every combination of the launch flag and the action word, run from the
// main program's launch to the end of the updater with the real programs:
// what the user sees, what the main program is told, when the files are
// fetched, and how the run ends when every file arrives or when one does not.
// Cancel on the wizard and on the real "close the program" question too.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "platform/gdi/png_file.h"
#include "support/ink.h"
#include "update_cycle_fixture.h"

namespace {

using namespace update_cycle;
using namespace std::chrono_literals;

constexpr char kWizardCaption[] = "Tevorin在线升级";
constexpr char kInstallCaption[] = "Tevorin自动升级";
constexpr char kTemplateTitle[] = "A";
constexpr char kPromptTitle[] = "Tevorin有新版本了！";
constexpr char kUrgentTitle[] = "Tevorin有新版本了！请升级到最新版本。";
constexpr char kRetryStatus[] = "对不起，由于网络繁忙，文件未能全部下载";
constexpr char kCloseMainQuestion[] =
    "Tevorin通软件正在运行，无法安装，请手动关闭后在试。\\n点击“取消”退出升级。";

constexpr int kNextButton = 1;
constexpr int kCancelButton = 2;
constexpr int kPageTitle = 1003;
constexpr int kFileList = 1006;
constexpr int kStatusLabel = 1008;
constexpr int kBoxOk = 1;
constexpr int kBoxCancel = 2;

// The two files of every release here: one in the installation directory,
// one in a subdirectory of it.
constexpr char kFirstFile[] = "voice.dll";
constexpr char kSecondFile[] = "ring.wav";
const std::vector<std::string> kReleaseFiles = {"voice.dll", "ring.wav:sound"};

// One child window of a top-level window, as `tevorin-desktop tree` prints it.
struct Control {
    int id = 0;
    std::string className;
    bool visible = false;
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool ParseRect(const std::string& text, int* x, int* y, int* width, int* height) {
    return std::sscanf(text.c_str(), "%d,%d,%d,%d", x, y, width, height) == 4;
}

bool IsRunning(pid_t pid) {
    std::string stat;
    if (!ReadFile("/proc/" + std::to_string(pid) + "/stat", stat)) return false;
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// What the release site does with the files' requests: it can hold every
// answer until the test lets them go, and answer a file 404 the first time.
struct SiteControl {
    std::mutex mutex;
    std::condition_variable released;
    bool holding = false;
    std::set<std::string> failOnce;  // request paths
};

// The scratch installation of the update cycle, with a release site that
// the test can hold back or make fail.
class ControlledCycle : public UpdateCycle {
  protected:
    void SetUp() override {
        UpdateCycle::SetUp();
        if (HasFatalFailure()) return;
        site_ = std::make_shared<SiteControl>();
        server_ = std::make_unique<TestHttpServer>(
            [site = site_, files = StaticSite(root_ / "site")](const HttpRequest& request) {
                const std::string path = request.target.substr(0, request.target.find('?'));
                if (path.rfind("/cs/", 0) == 0) return files(request);
                bool fail = false;
                {
                    std::unique_lock lock(site->mutex);
                    fail = site->failOnce.erase(path) > 0;
                    // A test that forgets to let go fails on its own checks, not by hanging.
                    (void)site->released.wait_for(lock, 20s, [&] { return !site->holding; });
                }
                if (fail)
                    return ResponseScript().Send(test_support::HttpResponseWithLength(404, "gone"));
                return files(request);
            });
        ASSERT_TRUE(server_->Started());
        setenv("TEVORIN_UPDATE_SERVER", server_->Url("").c_str(), 1);
    }

    void TearDown() override {
        if (site_) Release();
        UpdateCycle::TearDown();
    }

    void Hold() {
        std::lock_guard lock(site_->mutex);
        site_->holding = true;
    }

    void Release() {
        {
            std::lock_guard lock(site_->mutex);
            site_->holding = false;
        }
        site_->released.notify_all();
    }

    void FailOnce(const std::string& file) {
        std::lock_guard lock(site_->mutex);
        site_->failOnce.insert(FilePath(file));
    }

    // The address path under which the release serves `file`, compressed.
    static std::string FilePath(const std::string& file) { return "/c1a2c/" + file + ".gz"; }

    int Fetches(const std::string& file) const {
        const std::vector<HttpRequest> requests = server_->Requests();
        return static_cast<int>(
            std::count_if(requests.begin(), requests.end(),
                          [&](const HttpRequest& r) { return r.target == FilePath(file); }));
    }

    bool WaitForFetches(int first, int second, std::chrono::milliseconds limit) const {
        return WaitUntil(
            [&] { return Fetches(kFirstFile) >= first && Fetches(kSecondFile) >= second; }, limit);
    }

    std::string FetchSummary() const {
        std::string summary;
        for (const HttpRequest& request : server_->Requests()) summary += request.target + " ";
        return summary;
    }

    std::vector<Control> Tree(const std::string& handle) const {
        std::vector<Control> controls;
        const ProcessResult tree = RunProcess(TEVORIN_DESKTOP_EXE, {"tree", handle}, 10s);
        std::istringstream lines(tree.out);
        std::string line;
        while (std::getline(lines, line)) {
            const std::vector<std::string> fields = SplitTabs(line);
            if (fields.size() < 6 || fields[0] == "row") continue;
            Control control;
            control.id = std::atoi(fields[0].c_str());
            control.className = fields[1];
            control.visible = fields[2] == "1";
            if (!ParseRect(fields[4], &control.x, &control.y, &control.width, &control.height))
                continue;
            control.text = fields[5];
            controls.push_back(control);
        }
        return controls;
    }

    std::optional<Control> Find(const std::string& handle, int id) const {
        for (const Control& control : Tree(handle)) {
            if (control.id == id) return control;
        }
        return std::nullopt;
    }

    std::optional<Control> WaitForControlText(const std::string& handle, int id,
                                              const std::string& text,
                                              std::chrono::milliseconds limit) const {
        std::optional<Control> found;
        (void)WaitUntil(
            [&] {
                found = Find(handle, id);
                return found && found->text == text;
            },
            limit);
        return found;
    }

    int Click(const std::string& handle, int id) const {
        return RunProcess(TEVORIN_DESKTOP_EXE, {"click", handle, std::to_string(id)}, 10s).exitCode;
    }

    // The top-left corner of a top-level window on the screen.
    bool WindowOrigin(const std::string& handle, int* x, int* y) const {
        const ProcessResult listed = RunProcess(TEVORIN_DESKTOP_EXE, {"list"}, 10s);
        std::istringstream lines(listed.out);
        std::string line;
        int width = 0;
        int height = 0;
        while (std::getline(lines, line)) {
            const std::vector<std::string> fields = SplitTabs(line);
            if (fields.size() >= 5 && fields[0] == handle)
                return ParseRect(fields[3], x, y, &width, &height);
        }
        return false;
    }

    std::string MainLog(const std::string& name) const { return Content(root_ / name); }

    std::shared_ptr<SiteControl> site_;
};

// Even the one-letter title of the template leaves more ink than this.
constexpr int kSomeInk = 15;

struct TitleInk {
    int red = 0;
    int black = 0;
};

// Counts the pixels of the title control that are mostly red or mostly black
// ink, in a snapshot of the wizard.
std::optional<TitleInk> CountTitleInk(const std::string& png, const Control& title, int originX,
                                      int originY) {
    Framebuffer image;
    if (!ReadPng(png, &image)) return std::nullopt;
    const int left = title.x - originX;
    const int top = title.y - originY;
    // The page's own colour is the commonest one in the title's box.
    std::map<std::uint32_t, int> colours;
    for (int y = top; y < top + title.height; ++y)
        for (int x = left; x < left + title.width; ++x) ++colours[image.At(x, y)];
    if (colours.empty()) return std::nullopt;
    const COLORREF background = ColorRefFromPixel(
        std::max_element(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first);
    TitleInk ink;
    for (int y = top; y < top + title.height; ++y) {
        for (int x = left; x < left + title.width; ++x) {
            const COLORREF pixel = ColorRefFromPixel(image.At(x, y));
            if (IsMostlyInk(pixel, RGB(255, 0, 0), background)) ++ink.red;
            if (IsMostlyInk(pixel, RGB(0, 0, 0), background)) ++ink.black;
        }
    }
    return ink;
}

enum class AllArrived { kInstallNow, kStorePendingUpdate };
enum class SomeFailed { kOfferRetry, kClose };

struct ModeRow {
    const char* name;
    bool userUpgrade;
    const char* action;
    bool shown;
    const char* title;
    bool redTitle;
    bool mainToldToQuit;  // minimised, then told to quit
    bool downloadAtOnce;
    AllArrived allArrived;
    SomeFailed someFailed;
};

// Failures name the row, not its bytes.
void PrintTo(const ModeRow& row, std::ostream* out) {
    *out << row.name;
}

constexpr AllArrived kInstall = AllArrived::kInstallNow;
constexpr AllArrived kStore = AllArrived::kStorePendingUpdate;
constexpr SomeFailed kRetry = SomeFailed::kOfferRetry;
constexpr SomeFailed kClose = SomeFailed::kClose;

// clang-format off
const ModeRow kModeRows[] = {
    // name                     user   action            shown  title           red    quit   at once
    {"AskedDefault",            true,  "Default",        true,  kTemplateTitle, false, false, true,  kInstall, kClose},
    {"AskedUserPrompt",         true,  "UserPrompt",     true,  kPromptTitle,   false, false, true,  kInstall, kRetry},
    {"AskedUpdateRightNow",     true,  "UpdateRightNow", true,  kUrgentTitle,   true,  true,  true,  kInstall, kRetry},
    {"AskedOtherWord",          true,  "Urgent",         true,  kTemplateTitle, false, false, true,  kInstall, kRetry},
    {"CheckedDefault",          false, "Default",        false, kTemplateTitle, false, false, true,  kStore,   kClose},
    {"CheckedUserPrompt",       false, "UserPrompt",     true,  kPromptTitle,   false, false, false, kInstall, kRetry},
    {"CheckedUpdateRightNow",   false, "UpdateRightNow", true,  kUrgentTitle,   true,  true,  false, kInstall, kRetry},
    {"CheckedLowerCaseDefault", false, "default",        true,  kTemplateTitle, false, false, false, kInstall, kRetry},
};
// clang-format on

class UpdateModes : public ControlledCycle, public ::testing::WithParamInterface<ModeRow> {
  protected:
    // Launches the main program as the row asks and waits for the wizard.
    std::optional<DesktopWindow> Launch(const ModeRow& row, const std::string& log) {
        // The main program's own window may be gone before it is seen: the
        // updater stops it or tells it to quit. Its process is the launcher's.
        main_ = StartMainProgram(row.userUpgrade ? "--update" : "--check", log);
        return WaitForWindow(kWizardCaption, 0, 20s);
    }

    // Every file installed where it belongs, the new stamp, the main program
    // started again and the updater gone.
    void ExpectInstalled(const char* row) {
        EXPECT_TRUE(WaitForStamp(kOffered, 30s)) << row << ": the new version was not stamped";
        EXPECT_EQ(Content(App("voice.dll")), "new voice.dll") << row;
        EXPECT_EQ(Content(App("sound/ring.wav")), "new ring.wav") << row;
        EXPECT_TRUE(WaitForWindow(kMainTitle, main_->Pid(), 20s).has_value())
            << row << ": the main program was not started again";
        EXPECT_TRUE(WaitForUpdaterToEnd(20s)) << row;
        EXPECT_FALSE(Exists(App("upgrade/C1A2C/update.lock")))
            << row << ": nothing is left pending";
    }

    std::unique_ptr<test_support::BackgroundProcess> main_;
};

TEST_P(UpdateModes, ShowsTellsFetchesAndEndsAsTheModeAsksWhenEveryFileArrives) {
    const ModeRow& row = GetParam();
    Publish(row.action, kReleaseFiles);
    Hold();
    const auto wizard = Launch(row, "main.log");
    ASSERT_TRUE(wizard.has_value()) << "no wizard";

    // The wizard is complete once it is listed; a download at once has begun
    // before it was shown.
    if (row.downloadAtOnce) {
        EXPECT_TRUE(WaitForFetches(1, 1, 20s))
            << "the download did not start at once: " << FetchSummary();
    }
    const auto listed = WaitForWindow(kWizardCaption, 0, 5s);
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed->visible, row.shown);
    const std::vector<Control> controls = Tree(wizard->handle);
    const auto control = [&](int id) {
        const auto it = std::find_if(controls.begin(), controls.end(),
                                     [&](const Control& c) { return c.id == id; });
        Control missing;
        missing.id = -1;
        return it == controls.end() ? missing : *it;
    };
    EXPECT_EQ(control(kPageTitle).text, row.title);

    if (row.shown) {
        // A download at once shows the file list; waiting shows the description and Next.
        EXPECT_EQ(control(kPageTitle).visible, !row.downloadAtOnce);
        EXPECT_EQ(control(kFileList).visible, row.downloadAtOnce);
        EXPECT_EQ(control(kNextButton).visible, !row.downloadAtOnce);
    }
    if (row.shown && !row.downloadAtOnce) {
        const std::string png = root_ / "wizard.png";
        ASSERT_EQ(RunProcess(TEVORIN_DESKTOP_EXE, {"snapshot", wizard->handle, png}, 10s).exitCode,
                  0);
        int originX = 0;
        int originY = 0;
        ASSERT_TRUE(WindowOrigin(wizard->handle, &originX, &originY));
        const auto ink = CountTitleInk(png, control(kPageTitle), originX, originY);
        ASSERT_TRUE(ink.has_value()) << "unreadable snapshot";
        if (row.redTitle) {
            EXPECT_GT(ink->red, kSomeInk) << "the urgent title is not red";
            EXPECT_LT(ink->black, ink->red / 10) << "the urgent title is not red";
        } else {
            EXPECT_GT(ink->black, kSomeInk) << "the title is not written in black";
            EXPECT_EQ(ink->red, 0) << "only the urgent title is red";
        }
    }

    // What the main program receives from the wizard's start.
    if (row.mainToldToQuit) {
        EXPECT_TRUE(
            WaitUntil([&] { return MainLog("main.log").rfind("minimised\n", 0) == 0; }, 10s))
            << "the main program was not minimised first: " << MainLog("main.log");
    }
    if (!row.downloadAtOnce) {
        if (row.mainToldToQuit) {
            EXPECT_EQ(main_->WaitForExit(10s), 0) << "the main program was not told to quit";
            EXPECT_EQ(MainLog("main.log"), "minimised\ntold to quit\n");
        } else {
            EXPECT_TRUE(IsRunning(main_->Pid())) << "the main program was stopped before Next";
            EXPECT_EQ(MainLog("main.log"), "");
        }
        // Nothing is fetched before Next, however long the user reads.
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(Fetches(kFirstFile) + Fetches(kSecondFile), 0) << FetchSummary();
        ASSERT_EQ(Click(wizard->handle, kNextButton), 0);
        EXPECT_TRUE(WaitForFetches(1, 1, 20s))
            << "Next did not start the download: " << FetchSummary();
    }
    Release();

    if (row.allArrived == kInstall) {
        ExpectInstalled(row.name);
    } else {
        EXPECT_TRUE(WaitForFile(App("upgrade/C1A2C/update.lock"), 30s)) << "nothing was stored";
        EXPECT_TRUE(WaitForUpdaterToEnd(20s));
        EXPECT_EQ(Stamp(), kInstalled) << "a stored update installs nothing";
        EXPECT_FALSE(Exists(App("voice.dll")));
        EXPECT_EQ(Content(App("upgrade/C1A2C/voice.dll")), "new voice.dll");
        EXPECT_TRUE(SnapshotsTitled(kWizardCaption).empty()) << "the hidden wizard was seen";
    }
    if (!row.mainToldToQuit) {
        const std::string log = MainLog("main.log");
        EXPECT_EQ(log.find("minimised"), std::string::npos) << log;
        EXPECT_EQ(log.find("told to quit"), std::string::npos) << log;
    }
    EXPECT_EQ(Fetches(kFirstFile), 1) << FetchSummary();
    EXPECT_EQ(Fetches(kSecondFile), 1) << FetchSummary();
    EXPECT_FALSE(Exists(root_ / "records/opened")) << "no download page after a success";
}

TEST_P(UpdateModes, OffersARetryOfTheMissingFileOrClosesWhenOneFileFails) {
    const ModeRow& row = GetParam();
    Publish(row.action, kReleaseFiles);
    FailOnce(kSecondFile);
    // Held, so that a quick failure cannot close the wizard before it is seen.
    Hold();
    const auto wizard = Launch(row, "main.log");
    ASSERT_TRUE(wizard.has_value()) << "no wizard";
    if (!row.downloadAtOnce) {
        ASSERT_EQ(Click(wizard->handle, kNextButton), 0);
    }
    ASSERT_TRUE(WaitForFetches(1, 1, 20s)) << FetchSummary();
    Release();

    if (row.someFailed == kClose) {
        EXPECT_TRUE(WaitForUpdaterToEnd(30s)) << "the updater did not close";
        EXPECT_EQ(Fetches(kSecondFile), 1) << "no second attempt: " << FetchSummary();
        EXPECT_EQ(Stamp(), kInstalled);
        EXPECT_FALSE(Exists(App("voice.dll"))) << "nothing is installed";
        EXPECT_FALSE(Exists(App("upgrade/C1A2C/update.lock"))) << "nothing is stored";
        EXPECT_FALSE(Exists(root_ / "records/opened"));
        return;
    }

    const auto status = WaitForControlText(wizard->handle, kStatusLabel, kRetryStatus, 30s);
    ASSERT_TRUE(status.has_value());
    ASSERT_EQ(status->text, kRetryStatus) << "no retry offered";
    const auto retry = Find(wizard->handle, kNextButton);
    ASSERT_TRUE(retry.has_value());
    EXPECT_TRUE(retry->visible);
    EXPECT_EQ(retry->text, "重新下载");
    EXPECT_EQ(Fetches(kFirstFile), 1) << FetchSummary();
    EXPECT_EQ(Fetches(kSecondFile), 1) << FetchSummary();
    EXPECT_EQ(Stamp(), kInstalled) << "nothing is installed before every file is there";
    EXPECT_FALSE(Exists(App("voice.dll")));

    ASSERT_EQ(Click(wizard->handle, kNextButton), 0);
    ExpectInstalled(row.name);
    EXPECT_EQ(Fetches(kFirstFile), 1) << "the retry fetched a file it had: " << FetchSummary();
    EXPECT_EQ(Fetches(kSecondFile), 2)
        << "the retry did not fetch the missing file: " << FetchSummary();
}

INSTANTIATE_TEST_SUITE_P(EveryRow, UpdateModes, ::testing::ValuesIn(kModeRows),
                         [](const ::testing::TestParamInfo<ModeRow>& info) {
                             return info.param.name;
                         });

using UpdateCancel = ControlledCycle;

TEST_F(UpdateCancel, CancelOnTheWizardEndsTheUpdaterWithNothingInstalled) {
    const struct {
        const char* name;
        const char* how;
        bool whileDownloading;
    } cases[] = {
        {"waiting for Next", "--check", false},
        {"while the files are on their way", "--update", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Publish("UserPrompt", kReleaseFiles);
        Hold();
        const std::string log = std::string("main-") + c.how + ".log";
        auto main = StartMainProgram(c.how, log);
        const auto wizard = WaitForWindow(kWizardCaption, 0, 20s);
        ASSERT_TRUE(wizard.has_value());
        if (c.whileDownloading) {
            ASSERT_TRUE(WaitForFetches(1, 1, 20s)) << FetchSummary();
        }

        ASSERT_EQ(Click(wizard->handle, kCancelButton), 0);
        EXPECT_TRUE(WaitForUpdaterToEnd(20s)) << "Cancel did not end the updater";
        Release();
        EXPECT_EQ(Stamp(), kInstalled);
        EXPECT_FALSE(Exists(App("voice.dll")));
        EXPECT_FALSE(Exists(App("sound/ring.wav")));
        EXPECT_FALSE(Exists(App("upgrade/C1A2C/update.lock")));
        if (!c.whileDownloading) {
            EXPECT_EQ(Fetches(kFirstFile) + Fetches(kSecondFile), 0) << FetchSummary();
            EXPECT_TRUE(IsRunning(main->Pid()))
                << "a cancelled check leaves the main program alone";
        }
        // Nothing restarts the main program after a Cancel.
        EXPECT_FALSE(WaitForWindow(kMainTitle, main->Pid(), 500ms).has_value());
        main.reset();
    }
}

// The installation finds the main program running again: the real question
// comes up, OK asks again while it runs, Cancel leaves the old installation.
TEST_F(UpdateCancel, CancelOnTheCloseTheProgramQuestionLeavesTheOldFilesAndStamp) {
    Publish("UserPrompt", kReleaseFiles);
    ASSERT_TRUE(WriteFile(App("voice.dll"), "old voice.dll"));
    Hold();
    auto main = StartMainProgram("--update", "main1.log");
    ASSERT_TRUE(WaitForFetches(1, 1, 20s)) << FetchSummary();
    EXPECT_EQ(main->WaitForExit(10s), -1) << "the download stops the main program";

    // The user starts the main program again while the files arrive.
    test_support::BackgroundProcess again(App("Tevorin.exe"), {}, root_ / "main2.log");
    ASSERT_TRUE(again.Started());
    ASSERT_TRUE(WaitForWindow(kMainTitle, main->Pid(), 20s).has_value());
    Release();

    std::string previous;
    for (int box : {kBoxOk, kBoxCancel}) {
        std::optional<DesktopWindow> question;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (const DesktopWindow& window : Windows()) {
                    if (window.title == kInstallCaption && window.visible &&
                        window.handle != previous)
                        question = window;
                }
                return question.has_value();
            },
            20s))
            << "no question for button " << box;
        const std::vector<Control> controls = Tree(question->handle);
        EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [](const Control& c) {
            return c.text == kCloseMainQuestion;
        })) << "not the close-the-program question";
        EXPECT_EQ(Stamp(), kInstalled) << "installed while the main program runs";
        ASSERT_EQ(Click(question->handle, box), 0);
        previous = question->handle;
    }

    EXPECT_TRUE(WaitForUpdaterToEnd(20s)) << "Cancel did not end the updater";
    EXPECT_EQ(Stamp(), kInstalled);
    EXPECT_EQ(Content(App("voice.dll")), "old voice.dll");
    EXPECT_FALSE(Exists(App("sound/ring.wav")));
    EXPECT_EQ(Content(App("upgrade/C1A2C/voice.dll")), "new voice.dll") << "the download stays";
    EXPECT_EQ(Content(App("upgrade/C1A2C/ring.wav")), "new ring.wav");
    EXPECT_FALSE(Exists(root_ / "records/opened")) << "Cancel opens no download page";
    EXPECT_TRUE(IsRunning(again.Pid())) << "the question never ends the main program";
    EXPECT_EQ(Content(root_ / "main2.log"), "");
}

}  // namespace
