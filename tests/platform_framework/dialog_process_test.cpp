// Dialogs and message boxes of another process, seen and driven with
// tevorin-desktop.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/background_process.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

using namespace std::chrono_literals;
using test_support::BackgroundProcess;
using test_support::ProcessResult;
using test_support::RunProcess;
namespace fs = std::filesystem;

namespace {

ProcessResult Desktop(const std::vector<std::string>& args) {
    return RunProcess(TEVORIN_DESKTOP_EXE, args, 20s);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Width and height from a PNG file's header; {0, 0} when it is no PNG.
std::pair<int, int> PngSize(const std::string& path) {
    std::string bytes;
    if (!tevorin_test::ReadFile(path, bytes) || bytes.size() < 24 ||
        bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) |
               (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    return {be32(16), be32(20)};
}

class DialogProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.Valid());
        ASSERT_EQ(setenv("TEVORIN_DESKTOP", (scratch_ / "session").c_str(), 1), 0);
        ASSERT_EQ(setenv("TEVORIN_SNAPSHOT_DIR", (scratch_ / "snapshots").c_str(), 1), 0);
        fs::create_directories(scratch_ / "snapshots");
    }
    void TearDown() override { unsetenv("TEVORIN_SNAPSHOT_DIR"); }

    tevorin_test::ScratchDir scratch_;
};

TEST_F(DialogProcessTest, TreeShowsTheBoxAndClickAnswersIt) {
    const std::string caption = "Tevorin自动升级";
    const std::string text =
        "Tevorin通软件正在运行，无法安装，请手动关闭后在试。\n点击“取消”退出升级。";
    BackgroundProcess peer(DIALOG_PEER, {"box", caption, text, std::to_string(0x1 | 0x40)},
                           scratch_ / "peer.log");
    ASSERT_TRUE(peer.Started());
    const ProcessResult wait = Desktop({"wait", caption, "10"});
    ASSERT_EQ(wait.exitCode, 0) << wait.err;
    const std::string handle = wait.out.substr(0, wait.out.find('\n'));

    const ProcessResult tree = Desktop({"tree", handle});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    bool sawText = false, sawOk = false, sawCancel = false, sawIcon = false;
    for (const std::string& line : Lines(tree.out)) {
        if (line.starts_with("65535\tStatic\t1\t1\t") &&
            line.ends_with(
                "\tTevorin通软件正在运行，无法安装，请手动关闭后在试。\\n点击“取消”退出升级。"))
            sawText = true;
        if (line.starts_with("20\tStatic\t1\t1\t")) sawIcon = true;
        if (line.starts_with("1\tButton\t1\t1\t") && line.ends_with("\t确定")) sawOk = true;
        if (line.starts_with("2\tButton\t1\t1\t") && line.ends_with("\t取消")) sawCancel = true;
    }
    EXPECT_TRUE(sawText && sawOk && sawCancel && sawIcon) << tree.out;

    // The box as a picture, frame included: as wide and high as the list says.
    const std::string picture = scratch_ / "box.png";
    const ProcessResult snapshot = Desktop({"snapshot", handle, picture});
    ASSERT_EQ(snapshot.exitCode, 0) << snapshot.err;
    const ProcessResult list = Desktop({"list"});
    std::string rect;
    for (const std::string& line : Lines(list.out))
        if (line.starts_with(handle + "\t")) rect = line;
    ASSERT_FALSE(rect.empty()) << list.out;
    // handle pid visible x,y,w,h title
    const std::string geometry = Lines(rect + "\n")[0];
    std::vector<std::string> fields;
    for (std::size_t start = 0, end; start <= geometry.size(); start = end + 1) {
        end = geometry.find('\t', start);
        if (end == std::string::npos) end = geometry.size();
        fields.push_back(geometry.substr(start, end - start));
    }
    ASSERT_GE(fields.size(), 5u);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(std::sscanf(fields[3].c_str(), "%d,%d,%d,%d", &x, &y, &w, &h), 4);
    EXPECT_EQ(PngSize(picture), std::make_pair(w, h));

    const ProcessResult click = Desktop({"click", handle, "2"});
    ASSERT_EQ(click.exitCode, 0) << click.err;
    ASSERT_EQ(peer.WaitForExit(10s), 0);
    std::string output;
    ASSERT_TRUE(tevorin_test::ReadFile(scratch_ / "peer.log", output));
    EXPECT_EQ(output, "answer 2\n");

    // The shown box left a snapshot of itself in the snapshot directory.
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(scratch_ / "snapshots"))
        if (entry.path().filename().string().find(handle) != std::string::npos) ++pictures;
    EXPECT_GT(pictures, 0);
}

TEST_F(DialogProcessTest, TreeListsTheRowsOfAListViewAndCloseEndsTheWizard) {
    BackgroundProcess peer(DIALOG_PEER, {"list"}, scratch_ / "peer.log");
    ASSERT_TRUE(peer.Started());
    // The window is listed as soon as it exists; the rows come after it.
    std::string log;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!(tevorin_test::ReadFile(scratch_ / "peer.log", log) && log == "ready\n") &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(log, "ready\n");
    const ProcessResult wait = Desktop({"wait", "Tevorin在线升级", "10"});
    ASSERT_EQ(wait.exitCode, 0) << wait.err;
    const std::string handle = wait.out.substr(0, wait.out.find('\n'));

    const ProcessResult tree = Desktop({"tree", handle});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    const std::vector<std::string> lines = Lines(tree.out);
    std::size_t list = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].starts_with("1006\tSysListView32\t1\t1\t")) list = i;
    ASSERT_LT(list + 3, lines.size()) << tree.out;
    EXPECT_EQ(lines[list + 1], "row\t0\timage=0\tdata=7\ta.dll\t12");
    EXPECT_EQ(lines[list + 2], "row\t1\timage=2\tdata=8\t说明\\tb.txt\t");
    EXPECT_TRUE(lines[list + 3].starts_with("1008\tStatic\t")) << tree.out;

    // The close box acts as Cancel, which ends the wizard.
    const ProcessResult close = Desktop({"close", handle});
    ASSERT_EQ(close.exitCode, 0) << close.err;
    EXPECT_EQ(peer.WaitForExit(10s), 0);
}

}  // namespace
