// The whole update cycle with the real programs: a release built by
// tevorin-publish make and served from 127.0.0.1, the stand-in main program
// installed and running, the updater it starts, and the desktop tool to watch
// and drive the windows. Everything runs in a scratch installation of its own.

#include <gtest/gtest.h>

#include "update_cycle_fixture.h"

namespace {

using namespace update_cycle;
using namespace std::chrono_literals;

TEST_F(UpdateCycle, AUserRequestDownloadsInstallsStampsAndRestartsTheMainProgram) {
    Publish("UserPrompt", {"codec.dll:[SYSTEM]:regist", "ring.wav:sound", "notes.txt"});
    auto main = StartMainProgram("--update", "main.log");
    const auto first = WaitForWindow(kMainTitle, 0, 20s);
    ASSERT_TRUE(first.has_value()) << "the main program did not open its window";

    ASSERT_TRUE(WaitForStamp(kOffered, 60s)) << "the new version was not stamped";
    const auto restarted = WaitForWindow(kMainTitle, first->pid, 20s);
    EXPECT_TRUE(restarted.has_value()) << "the main program was not started again";
    EXPECT_TRUE(WaitForUpdaterToEnd(20s));
    EXPECT_EQ(main->WaitForExit(5s), -1) << "the running main program is stopped for the download";

    EXPECT_EQ(Content(root_ / "system/codec.dll"), "new codec.dll");
    EXPECT_EQ(Content(App("sound/ring.wav")), "new ring.wav");
    EXPECT_EQ(Content(App("notes.txt")), "new notes.txt");
    ASSERT_TRUE(WaitForFile(root_ / "records/registered"));
    EXPECT_EQ(Content(root_ / "records/registered").substr(0, 3), "/s\n");
    EXPECT_FALSE(Exists(App("upgrade/C1A2C/notes.txt"))) << "installed files leave the download folder";
    EXPECT_FALSE(Exists(App("upgrade/C1A2C/update.lock")));
    EXPECT_FALSE(Exists(root_ / "records/opened")) << "no download page after a success";
}

TEST_F(UpdateCycle, ASilentRunStoresThePendingUpdateAndTheNextInstallsItBehindTheNotice) {
    Publish("Default", {"codec.dll", "ring.wav:sound"});
    auto main = StartMainProgram("--check", "main1.log");
    const auto first = WaitForWindow(kMainTitle, 0, 20s);
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(WaitForFile(App("upgrade/C1A2C/update.lock"), 60s)) << "nothing was stored";
    EXPECT_TRUE(WaitForUpdaterToEnd(20s));
    EXPECT_EQ(Stamp(), kInstalled) << "a silent download installs nothing";
    EXPECT_FALSE(Exists(App("codec.dll")));
    EXPECT_EQ(Content(App("upgrade/C1A2C/codec.dll")), "new codec.dll");
    EXPECT_TRUE(SnapshotsTitled("Tevorin在线升级").empty()) << "the silent wizard was seen";
    (void)main->WaitForExit(5s);

    // The next silent start finds the pending update and installs it.
    auto second = StartMainProgram("--check", "main2.log");
    ASSERT_TRUE(WaitForStamp(kOffered, 60s)) << "the pending update was not installed";
    EXPECT_EQ(Content(App("codec.dll")), "new codec.dll");
    EXPECT_EQ(Content(App("sound/ring.wav")), "new ring.wav");
    EXPECT_TRUE(WaitForUpdaterToEnd(20s));
    EXPECT_FALSE(SnapshotsTitled(kNoticeCaption).empty()) << "the notice was not shown";
    EXPECT_TRUE(Exists(App("upgrade/C1A2C/update.lock"))) << "the pending file stays";
    EXPECT_TRUE(WaitForWindow(kMainTitle, 0, 20s).has_value()) << "no main program after it";
}

}  // namespace
