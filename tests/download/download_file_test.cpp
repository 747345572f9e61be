#include "download/download_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "download/download_messages.h"
#include "support/private_desktop_session.h"
#include "download/report_window.h"
#include "platform/core/text.h"
#include "platform/win/message_loop.h"
#include "platform_win/loop_watchdog.h"
#include "support/scratch_dir.h"
#include "support/small_disk.h"
#include "support/test_http_server.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpRequest;
using test_support::HttpResponseBytes;
using test_support::HttpResponseWithLength;
using test_support::ResponseScript;
using test_support::TestHttpServer;
using tevorin_test::Exists;
using tevorin_test::ReadFile;
using tevorin_test::ScratchDir;
using tevorin_test::U16;
using tevorin_test::WriteFile;

constexpr const char* kAbsent = "<absent>";

std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
    return s;
}

std::string Gzip(const std::string& data) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, data.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Serves fixed scripts by path; unknown paths get a 404.
TestHttpServer::Handler Routes(std::map<std::string, std::function<ResponseScript()>> routes) {
    return [routes = std::move(routes)](const HttpRequest& request) {
        auto it = routes.find(request.target);
        if (it == routes.end())
            return ResponseScript().Send(HttpResponseWithLength(404, "not here"));
        return it->second();
    };
}

UpdateFileEntry Entry(const std::u16string& src, const std::u16string& filename,
                      const std::u16string& zipped = u"") {
    UpdateFileEntry entry{};
    CopyToSlot(entry.src, src);
    CopyToSlot(entry.filename, filename);
    CopyToSlot(entry.zipped, zipped);
    return entry;
}

// Runs one download on a worker thread while the test's thread handles its
// reports; returns the summary of the reports of index 0.
std::string RunDownload(ReportWindow& window, FileDownloadJob job) {
    job.reportTo = window.Handle();
    std::thread worker([job] { DownloadFileEntry(job); });
    window.PumpUntilDone(1);
    worker.join();
    return window.Summary(static_cast<WPARAM>(job.index));
}

std::string FileOrAbsent(const std::string& path) {
    std::string content;
    if (!Exists(path)) return kAbsent;
    EXPECT_TRUE(ReadFile(path, content)) << path;
    return content;
}

// Sets an environment value for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old, had_ = true;
        ::setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_.c_str(), saved_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }

  private:
    std::string name_;
    std::string saved_;
    bool had_ = false;
};

TEST(DownloadFile, EveryResponseEndsInTheDocumentedFilesAndReports) {
    struct Case {
        const char* name;
        std::function<ResponseScript()> script;
        const char* zipped;
        std::string reports;
        std::string target;  // kAbsent: no target afterwards
        std::string temp;    // kAbsent: no temporary file afterwards
    };
    const std::string k1023 = Pattern(1023), k1024 = Pattern(1024), k2047 = Pattern(2047);
    const std::string big = Pattern(300'000);
    const std::string text = "expanded content\n";
    const std::string gz = Gzip(text);
    std::string damaged = Gzip(Pattern(50'000));
    damaged[damaged.size() / 2] ^= 0x55;
    damaged[damaged.size() / 2 + 1] ^= 0x55;
    const std::string old = "old target";  // every case starts with this target in place

    const Case cases[] = {
        {"1023 bytes", [&] { return ResponseScript().Send(HttpResponseWithLength(200, k1023)); },
         "", "size:0 progress:100 done:1", k1023, kAbsent},
        {"1024 bytes", [&] { return ResponseScript().Send(HttpResponseWithLength(200, k1024)); },
         "", "size:1 progress:100 done:1", k1024, kAbsent},
        {"2047 bytes", [&] { return ResponseScript().Send(HttpResponseWithLength(200, k2047)); },
         "", "size:1 progress:100 done:1", k2047, kAbsent},
        {"large body in many chunks",
         [&] { return ResponseScript().Send(HttpResponseWithLength(200, big)); }, "",
         "size:292 progress:100 done:1", big, kAbsent},
        {"announced empty body",
         [] { return ResponseScript().Send(HttpResponseWithLength(200, "")); }, "", "size:0 done:1",
         "", kAbsent},
        {"no length, body ends at close",
         [] { return ResponseScript().Send(HttpResponseBytes(200, {}, "until close")); }, "",
         "progress:0 done:1", "until close", kAbsent},
        {"length that is no number",
         [] {
             return ResponseScript().Send(HttpResponseBytes(200, {"Content-Length: abc"}, "xyz"));
         },
         "", "size:0 progress:0 done:1", "xyz", kAbsent},
        {"more bytes than announced",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(200, {"Content-Length: 5"}, "helloEXTRA"));
         },
         "", "size:0 progress:200 done:1", "helloEXTRA", kAbsent},
        {"status 404", [] { return ResponseScript().Send(HttpResponseWithLength(404, "gone")); },
         "", "done:0", old, kAbsent},
        {"status 206", [] { return ResponseScript().Send(HttpResponseWithLength(206, "partial")); },
         "", "done:0", old, kAbsent},
        {"status 500", [] { return ResponseScript().Send(HttpResponseWithLength(500, "")); }, "",
         "done:0", old, kAbsent},
        {"redirect",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(302, {"Location: /final", "Content-Length: 0"}, ""));
         },
         "", "size:0 progress:100 done:1", "landed", kAbsent},
        {"connection breaks early, with a length",
         [] {
             return ResponseScript()
                 .Send(HttpResponseBytes(200, {"Content-Length: 5000"}, Pattern(3000)))
                 .Pause(30ms)
                 .Reset();
         },
         "", "size:4 progress:60 done:0", kAbsent, kAbsent},
        {"connection closes early, with a length",
         [] {
             return ResponseScript().Send(
                 HttpResponseBytes(200, {"Content-Length: 5000"}, Pattern(2500)));
         },
         "", "size:4 progress:50 done:0", kAbsent, kAbsent},
        {"connection breaks early, without a length",
         [] {
             return ResponseScript()
                 .Send(HttpResponseBytes(200, {}, Pattern(3000)))
                 .Pause(30ms)
                 .Reset();
         },
         "", "progress:0 done:0", kAbsent, kAbsent},
        {"chunked body cut off",
         [] {
             return ResponseScript().Send(HttpResponseBytes(
                 200, {"Transfer-Encoding: chunked"}, test_support::ChunkedBody({"part"}, false)));
         },
         "", "progress:0 done:0", kAbsent, kAbsent},
        {"gzip, TRUE with blanks",
         [&] { return ResponseScript().Send(HttpResponseWithLength(200, gz)); }, "  TRUE \t",
         "size:0 progress:100 done:1", text, kAbsent},
        {"gzip of empty content",
         [] { return ResponseScript().Send(HttpResponseWithLength(200, Gzip(""))); }, "true",
         "size:0 progress:100 done:1", "", kAbsent},
        {"gzip damaged",
         [&] { return ResponseScript().Send(HttpResponseWithLength(200, damaged)); }, "true",
         "size:" + std::to_string(damaged.size() >> 10) + " progress:100 done:0", kAbsent, kAbsent},
        {"not gzip at all, marked as gzip",
         [] { return ResponseScript().Send(HttpResponseWithLength(200, "plain bytes")); }, "true",
         "size:0 progress:100 done:1", "plain bytes", kAbsent},
        {"zipped yes is plain",
         [&] { return ResponseScript().Send(HttpResponseWithLength(200, gz)); }, "yes",
         "size:0 progress:100 done:1", gz, kAbsent},
        {"zipped 1 is plain",
         [&] { return ResponseScript().Send(HttpResponseWithLength(200, gz)); }, "1",
         "size:0 progress:100 done:1", gz, kAbsent},
        {"server answers nothing", [] { return ResponseScript(); }, "", "done:0", old, kAbsent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server(Routes({
            {"/file", c.script},
            {"/final", [] { return ResponseScript().Send(HttpResponseWithLength(200, "landed")); }},
        }));
        ASSERT_TRUE(server.Started());
        ScratchDir dir;
        ASSERT_TRUE(WriteFile(dir / "f.bin", old));
        LoopWatchdog watchdog(60s, c.name);
        ReportWindow window;
        ASSERT_NE(window.Handle(), nullptr);
        FileDownloadJob job;
        job.entry = Entry(server.Url16("/file"), u"f.bin", U16(c.zipped));
        job.upgradeDir = U16(dir.Path());
        EXPECT_EQ(RunDownload(window, job), c.reports);
        EXPECT_EQ(FileOrAbsent(dir / "f.bin"), c.target);
        EXPECT_EQ(FileOrAbsent(dir / "f.bin.tmp"), c.temp);
    }
}

TEST(DownloadFile, AskedOnceForTheUrlWithTheUpdatersAgent) {
    TestHttpServer server(
        Routes({{"/pkg/a.dll",
                 [] { return ResponseScript().Send(HttpResponseWithLength(200, "dll")); }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    LoopWatchdog watchdog(30s);
    ReportWindow window;
    FileDownloadJob job;
    job.index = 7;
    job.entry = Entry(server.Url16("/pkg/a.dll"), u"a.dll");
    job.upgradeDir = U16(dir.Path());
    EXPECT_EQ(RunDownload(window, job), "size:0 progress:100 done:1");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].Header("User-Agent"), "TevorinLiveUpdate");
    for (const DownloadReport& r : window.Reports()) EXPECT_EQ(r.index, 7u);
}

TEST(DownloadFile, RetryTakesAnExistingTargetWithoutAnyRequest) {
    struct Case {
        const char* name;
        bool retryMode;
        bool targetPresent;
        std::string reports;
        std::string target;
        std::size_t requests;
    };
    const Case cases[] = {
        {"retry, target present", true, true, "done:1", "earlier", 0},
        {"retry, target absent", false, false, "size:0 progress:100 done:1", "fresh", 1},
        {"retry mode set, target absent", true, false, "size:0 progress:100 done:1", "fresh", 1},
        {"first attempt, target present", false, true, "size:0 progress:100 done:1", "fresh", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server(Routes(
            {{"/f", [] { return ResponseScript().Send(HttpResponseWithLength(200, "fresh")); }}}));
        ASSERT_TRUE(server.Started());
        ScratchDir dir;
        if (c.targetPresent) {
            ASSERT_TRUE(WriteFile(dir / "f", "earlier"));
        }
        ASSERT_TRUE(WriteFile(dir / "f.tmp", "left over"));
        LoopWatchdog watchdog(30s, c.name);
        ReportWindow window;
        FileDownloadJob job;
        job.entry = Entry(server.Url16("/f"), u"f");
        job.upgradeDir = U16(dir.Path());
        job.retryMode = c.retryMode;
        EXPECT_EQ(RunDownload(window, job), c.reports);
        EXPECT_EQ(FileOrAbsent(dir / "f"), c.target);
        EXPECT_EQ(server.Requests().size(), c.requests);
        // The shortcut leaves the temporary file as it was.
        EXPECT_EQ(FileOrAbsent(dir / "f.tmp"), c.requests == 0 ? "left over" : kAbsent);
    }
}

TEST(DownloadFile, NamesThatLeaveTheDirectoryFailWithoutNetworkAccess) {
    const std::u16string names[] = {u"",         u".",          u"..",       u"../escape",
                                    u"sub/file", u"..\\escape", u"/tmp/abs", u"a\\b"};
    TestHttpServer server(
        Routes({{"/f", [] { return ResponseScript().Send(HttpResponseWithLength(200, "x")); }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir root;
    ASSERT_EQ(::mkdir((root / "dir").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root / "dir/sub").c_str(), 0755), 0);
    for (const std::u16string& name : names) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        LoopWatchdog watchdog(30s);
        for (bool retryMode : {false, true}) {  // nor does the shortcut look outside
            ReportWindow window;
            FileDownloadJob job;
            job.entry = Entry(server.Url16("/f"), name);
            job.upgradeDir = U16(root / "dir/");
            job.retryMode = retryMode;
            EXPECT_EQ(RunDownload(window, job), "done:0") << "retry mode " << retryMode;
        }
    }
    EXPECT_EQ(server.Requests().size(), 0u);
    EXPECT_FALSE(Exists(root / "escape"));
    EXPECT_FALSE(Exists(root / "dir/sub/file"));
    EXPECT_TRUE(IsSafeDownloadName(u"..."));
    EXPECT_TRUE(IsSafeDownloadName(u"a..b.dll"));
}

TEST(DownloadFile, TargetThatCannotBeReplacedKeepsTheDownloadInTheTemporaryFile) {
    TestHttpServer server(Routes(
        {{"/f", [] { return ResponseScript().Send(HttpResponseWithLength(200, "new bytes")); }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    // A directory in the target's place can be neither deleted nor replaced.
    ASSERT_EQ(::mkdir((dir / "f").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFile(dir / "f/inside", "held"));
    LoopWatchdog watchdog(30s);
    ReportWindow window;
    FileDownloadJob job;
    job.entry = Entry(server.Url16("/f"), u"f");
    job.upgradeDir = U16(dir.Path());
    EXPECT_EQ(RunDownload(window, job), "size:0 progress:100 done:0");
    EXPECT_EQ(FileOrAbsent(dir / "f.tmp"), "new bytes");
    EXPECT_EQ(FileOrAbsent(dir / "f/inside"), "held");
}

TEST(DownloadFile, MissingDownloadDirectoryFailsTheFile) {
    TestHttpServer server(
        Routes({{"/f", [] { return ResponseScript().Send(HttpResponseWithLength(200, "x")); }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    LoopWatchdog watchdog(30s);
    ReportWindow window;
    FileDownloadJob job;
    job.entry = Entry(server.Url16("/f"), u"f");
    job.upgradeDir = U16(dir / "missing/");
    EXPECT_EQ(RunDownload(window, job), "size:0 done:0");
    EXPECT_FALSE(Exists(dir / "missing"));
}

TEST(DownloadFile, UnreachableServerAndBadAddressFail) {
    const std::u16string sources[] = {u"http://127.0.0.1:1/f", u"not a url", u""};
    for (const std::u16string& src : sources) {
        SCOPED_TRACE(Utf16ToUtf8(src));
        ScratchDir dir;
        LoopWatchdog watchdog(30s);
        ReportWindow window;
        FileDownloadJob job;
        job.entry = Entry(src, u"f");
        job.upgradeDir = U16(dir.Path());
        EXPECT_EQ(RunDownload(window, job), "done:0");
    }
}

TEST(DownloadFile, StalledServerFailsTheFile) {
    ScopedEnv stall("TEVORIN_HTTP_STALL_MS", "300");
    TestHttpServer server(
        Routes({{"/f", [] {
                     return ResponseScript()
                         .Send(HttpResponseBytes(200, {"Content-Length: 100"}, "begin"))
                         .HoldOpen();
                 }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    LoopWatchdog watchdog(30s);
    ReportWindow window;
    FileDownloadJob job;
    job.entry = Entry(server.Url16("/f"), u"f");
    job.upgradeDir = U16(dir.Path());
    EXPECT_EQ(RunDownload(window, job), "size:0 progress:5 done:0");
    EXPECT_FALSE(Exists(dir / "f"));
    EXPECT_FALSE(Exists(dir / "f.tmp"));
    server.Stop();
}

TEST(DownloadFile, FullDiskFailsAndRemovesTheTemporaryFile) {
    tevorin_test::SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    struct Case {
        const char* name;
        const char* zipped;
        std::string body;
    };
    const std::string large = Pattern(400'000);
    const Case cases[] = {
        {"plain file larger than the disk", "", large},
        {"gzip file that expands beyond the disk", "true", Gzip(large)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server(Routes(
            {{"/f", [&c] { return ResponseScript().Send(HttpResponseWithLength(200, c.body)); }}}));
        ASSERT_TRUE(server.Started());
        LoopWatchdog watchdog(30s, c.name);
        ReportWindow window;
        FileDownloadJob job;
        job.entry = Entry(server.Url16("/f"), u"f", U16(c.zipped));
        job.upgradeDir = U16(disk.Path());
        const std::string summary = RunDownload(window, job);
        EXPECT_EQ(summary.substr(summary.size() - 6), "done:0") << summary;
        EXPECT_FALSE(Exists(disk / "f"));
        EXPECT_FALSE(Exists(disk / "f.tmp"));
    }
}

TEST(DownloadFile, CancelEndsATransferThatWouldOtherwiseWait) {
    TestHttpServer server(
        Routes({{"/f", [] {
                     return ResponseScript()
                         .Send(HttpResponseBytes(200, {"Content-Length: 100000"}, Pattern(9000)))
                         .HoldOpen();
                 }}}));
    ASSERT_TRUE(server.Started());
    ScratchDir dir;
    LoopWatchdog watchdog(20s, "a cancelled download");
    ReportWindow window;
    std::atomic<bool> cancel{false};
    FileDownloadJob job;
    job.entry = Entry(server.Url16("/f"), u"f");
    job.upgradeDir = U16(dir.Path());
    job.cancel = &cancel;
    job.reportTo = window.Handle();
    std::thread worker([job] { DownloadFileEntry(job); });
    // Cancel once the body has started to arrive: the stall limit (a minute)
    // would end the wait much later than the watchdog allows.
    MSG msg;
    while (!Exists(dir / "f.tmp") || window.Reports().size() < 2) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        std::this_thread::sleep_for(2ms);
    }
    cancel = true;
    window.PumpUntilDone(1);
    worker.join();
    const std::string summary = window.Summary(0);
    EXPECT_EQ(summary.substr(summary.size() - 6), "done:0") << summary;
    EXPECT_FALSE(Exists(dir / "f"));
    EXPECT_FALSE(Exists(dir / "f.tmp"));
    server.Stop();
}

TEST(DownloadFile, PercentAndFlags) {
    struct PercentCase {
        DWORD received, total;
        LPARAM percent;
    };
    const PercentCase percents[] = {
        {0, 0, 0},
        {5000, 0, 0},
        {0, 10, 0},
        {1, 3, 33},
        {2, 3, 66},
        {10, 10, 100},
        {20, 10, 200},
        {8192, 100000, 8},
        {4'294'967'295u, 4'294'967'295u, 100},
        {4'294'967'295u, 1, 4'294'967'196},
    };
    for (const PercentCase& c : percents)
        EXPECT_EQ(DownloadPercent(c.received, c.total), c.percent)
            << c.received << " of " << c.total;

    struct FlagCase {
        std::u16string text;
        bool zipped;
    };
    const FlagCase flags[] = {{u"true", true},   {u" TRUE ", true}, {u"\tTrue\n", true},
                              {u"yes", false},   {u"1", false},     {u"", false},
                              {u"tru e", false}, {u"truex", false}};
    for (const FlagCase& c : flags)
        EXPECT_EQ(IsZippedFlag(c.text), c.zipped) << Utf16ToUtf8(c.text);
}

}  // namespace
