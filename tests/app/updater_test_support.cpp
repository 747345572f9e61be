#include "updater_test_support.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "platform/core/text.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace updater_test {

void Gate::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
}

void Gate::Wait(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, limit, [this] { return open_; });
}

std::string ManifestXml(const std::string& version, const std::string& action,
                        const std::vector<std::string>& fileUrls) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<update>\n<version>" + version +
                      "</version>\n<action>" + action +
                      "</action>\n<description>Clearer calls.</description>\n";
    int index = 0;
    for (const std::string& url : fileUrls) {
        xml += "<filename src=\"" + url + "\">file" + std::to_string(index++) + ".dat</filename>\n";
    }
    return xml + "</update>\n";
}

SampleInstallation::SampleInstallation() {
    if (!turn_.Take() || !scratch_.Valid()) return;
    std::error_code error;
    fs::create_directories(AppDir(), error);
    if (error) return;
    fs::create_directories(SnapshotDir(), error);
    if (error) return;
    fs::copy_file(TEVORIN_UPDATER_EXE, UpdaterPath(), error);
    valid_ = !error;
}

bool SampleInstallation::WriteMainProgram(DWORD version) {
    std::string bytes(64, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i) bytes[32 + i] = static_cast<char>((version >> (8 * i)) & 0xFF);
    return tevorin_test::WriteFile(AppDir() + "/Tevorin.exe", bytes, 0755);
}

void SampleInstallation::RemoveMainProgram() {
    std::error_code ignored;
    fs::remove(AppDir() + "/Tevorin.exe", ignored);
}

bool SampleInstallation::WriteLanguage(const std::string& value) {
    std::error_code error;
    fs::create_directories(AppDir() + "/data", error);
    return !error &&
           tevorin_test::WriteFile(AppDir() + "/data/pro.ini", "[Window]\nlang=" + value + "\n");
}

void SampleInstallation::UseEnvironment(const std::string& server) const {
    ::setenv("TEVORIN_DESKTOP", SessionDir().c_str(), 1);
    ::setenv("TEVORIN_DISPLAY", "headless", 1);
    ::setenv("TEVORIN_SNAPSHOT_DIR", SnapshotDir().c_str(), 1);
    if (!server.empty()) ::setenv("TEVORIN_UPDATE_SERVER", server.c_str(), 1);
}

test_support::ProcessResult SampleInstallation::RunUpdater(const std::vector<std::string>& args,
                                                           std::chrono::milliseconds limit) const {
    return test_support::RunProcess(UpdaterPath(), args, limit);
}

std::unique_ptr<test_support::BackgroundProcess> SampleInstallation::StartUpdater(
    const std::vector<std::string>& args, const std::string& logName) const {
    return std::make_unique<test_support::BackgroundProcess>(UpdaterPath(), args, LogPath(logName));
}

std::vector<std::string> SampleInstallation::Snapshots() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(SnapshotDir(), ignored))
        names.push_back(entry.path().filename().string());
    return names;
}

std::vector<tevorin::win::SessionWindowEntry> SampleInstallation::Windows() const {
    tevorin::win::SessionDirectory session;
    if (!session.Open(SessionDir(), nullptr)) return {};
    return session.ListWindows();
}

std::optional<tevorin::win::SessionWindowEntry> SampleInstallation::WaitForWindow(
    const std::string& title, pid_t pid, std::chrono::milliseconds limit) const {
    const std::u16string wanted = Utf8ToUtf16(title);
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        for (const auto& entry : Windows()) {
            if (entry.title == wanted && (pid == 0 || entry.pid == pid)) return entry;
        }
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

bool WaitForRequests(const test_support::TestHttpServer& server, std::size_t count,
                     std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (server.Requests().size() < count) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::string HandleArgument(int handle) {
    return "<handle>" + std::to_string(handle) + "</handle>";
}

std::string WindowTree(int handle) {
    const auto result =
        test_support::RunProcess(TEVORIN_DESKTOP_EXE, {"tree", std::to_string(handle)}, 20s);
    return result.exitCode == 0 ? result.out : std::string();
}

namespace {

// The tab-separated fields of the tree line of control `id`: id, class,
// visible, enabled, rectangle, text.
std::optional<std::vector<std::string>> ControlFields(const std::string& tree, int id) {
    std::size_t start = 0;
    while (start < tree.size()) {
        std::size_t end = tree.find('\n', start);
        if (end == std::string::npos) end = tree.size();
        std::vector<std::string> fields;
        std::size_t field = start;
        for (;;) {
            const std::size_t tab = tree.find('\t', field);
            if (tab == std::string::npos || tab > end) {
                fields.push_back(tree.substr(field, end - field));
                break;
            }
            fields.push_back(tree.substr(field, tab - field));
            field = tab + 1;
        }
        // The first field may be indented by the depth.
        std::string first = fields[0];
        first.erase(0, first.find_first_not_of(' '));
        if (fields.size() >= 6 && first == std::to_string(id)) return fields;
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ControlText(const std::string& tree, int id) {
    const auto fields = ControlFields(tree, id);
    if (!fields) return std::nullopt;
    return (*fields)[5];
}

std::optional<bool> ControlVisible(const std::string& tree, int id) {
    const auto fields = ControlFields(tree, id);
    if (!fields) return std::nullopt;
    return (*fields)[2] == "1";
}

bool HasEnded(pid_t pid) {
    std::string stat;
    if (!tevorin_test::ReadFile("/proc/" + std::to_string(pid) + "/stat", stat)) return true;
    const std::size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z' ||
           stat[close + 2] == 'X';
}

}  // namespace updater_test
