// tevorin-publish run as the release manager runs it: a separate process,
// judged by its exit code and what it prints.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/run_process.h"
#include "support/test_http_server.h"

namespace {

namespace fs = std::filesystem;
using test_support::HttpRequest;
using test_support::HttpResponseWithLength;
using test_support::ProcessResult;
using test_support::ResponseScript;
using test_support::RunProcess;
using test_support::TestHttpServer;

ProcessResult Publish(const std::vector<std::string>& args) {
    ProcessResult result = RunProcess(TEVORIN_PUBLISH_EXE, args);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    return result;
}

class PublishTool : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tevorin-publish-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        setenv("TEVORIN_ACP", "UTF-8", 1);
    }
    void TearDown() override {
        unsetenv("TEVORIN_ACP");
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path dir_;
};

const char kExample[] =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    "<update>\r\n"
    "  <version>c1a2b</version>\r\n"
    "  <action> UserPrompt </action>\r\n"
    "  <description>Clearer calls.&lt;br&gt;Faster start.</description>\r\n"
    "  <filename src='http://h/Tevorin.exe.gz' zipped='true'>Tevorin.exe</filename>\r\n"
    "  <filename src='http://h/codec.dll' localdir='[SYSTEM]' "
    "regist='true'>codec.dll</filename>\r\n"
    "</update>\r\n";

const char kExampleJson[] =
    "{\"serverVersion\":\"C1A2B\",\"action\":\"UserPrompt\","
    "\"description\":\"Clearer calls.\\u000D\\u000AFaster start.\",\"files\":["
    "{\"filename\":\"Tevorin.exe\",\"src\":\"http://h/Tevorin.exe.gz\",\"localdir\":\"\","
    "\"zipped\":\"true\",\"regist\":\"\"},"
    "{\"filename\":\"codec.dll\",\"src\":\"http://h/codec.dll\",\"localdir\":\"[SYSTEM]\","
    "\"zipped\":\"\",\"regist\":\"true\"}]}\n";

TEST_F(PublishTool, CheckPrintsTheManifestAndSaysWhetherItOffersAnUpdate) {
    struct Case {
        const char* name;
        std::string manifest;
        int exitCode;
        std::string json;
    };
    const Case cases[] = {
        {"example", kExample, 0, kExampleJson},
        {"no files", "<update><version>5</version><action>Default</action></update>", 1,
         "{\"serverVersion\":\"5\",\"action\":\"Default\",\"description\":\"\",\"files\":[]}\n"},
        {"no version", "<update><filename>a</filename></update>", 1,
         "{\"serverVersion\":\"0\",\"action\":\"\",\"description\":\"\",\"files\":["
         "{\"filename\":\"a\",\"src\":\"\",\"localdir\":\"\",\"zipped\":\"\",\"regist\":\"\"}]}\n"},
        {"not well-formed", "<update><version>5</version>", 1,
         "{\"serverVersion\":\"0\",\"action\":\"\",\"description\":\"\",\"files\":[]}\n"},
        {"escapes",
         "<update><version>1</version><description>say \"hi\" \\ tab\t&#1; "
         "\xE4\xB8\xAD</description><filename>f</filename></update>",
         0,
         "{\"serverVersion\":\"1\",\"action\":\"\",\"description\":\"say \\\"hi\\\" \\\\ "
         "tab\\u0009\\u0001 \xE4\xB8\xAD\",\"files\":[{\"filename\":\"f\",\"src\":\"\","
         "\"localdir\":\"\",\"zipped\":\"\",\"regist\":\"\"}]}\n"},
        {"empty file", "", 1,
         "{\"serverVersion\":\"0\",\"action\":\"\",\"description\":\"\",\"files\":[]}\n"},
    };
    for (const Case& c : cases) {
        ProcessResult result = Publish({"check", Write("manifest.xml", c.manifest)});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << "\n" << result.err;
        EXPECT_EQ(result.out, c.json) << c.name;
        EXPECT_EQ(result.err.empty(), c.exitCode == 0) << c.name << ": " << result.err;
    }
}

TEST_F(PublishTool, CheckTakesFileBytesInTheAnsiCodePage) {
    setenv("TEVORIN_ACP", "GBK", 1);
    ProcessResult result =
        Publish({"check", Write("gbk.xml",
                                "<update><version>2</version><description>\xD6\xD0\xCE\xC4"
                                "</description><filename>f</filename></update>")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\"description\":\"\xE4\xB8\xAD\xE6\x96\x87\""), std::string::npos)
        << result.out;
}

TEST_F(PublishTool, CheckFetchesAUrl) {
    TestHttpServer server([](const HttpRequest& request) {
        if (request.target != "/cs/update2010.asp?ver=1") {
            return ResponseScript().Send(HttpResponseWithLength(404, "not here"));
        }
        return ResponseScript().Send(HttpResponseWithLength(200, kExample));
    });
    ASSERT_TRUE(server.Started());
    ProcessResult result = Publish({"check", server.Url("/cs/update2010.asp?ver=1")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, kExampleJson);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "OstrelLiveUpdate");

    ProcessResult missing = Publish({"check", server.Url("/other")});
    EXPECT_EQ(missing.exitCode, 1);
    server.Stop();
    ProcessResult down = Publish({"check", server.Url("/cs/update2010.asp?ver=1")});
    EXPECT_EQ(down.exitCode, 1);
    EXPECT_FALSE(down.err.empty());
}

TEST_F(PublishTool, UsageErrorsAndUnreadableFilesExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", "a.xml", "b.xml"},
        {"check", ""},
        {"check", (dir_ / "missing.xml").string()},
        {"check", dir_.string()},
        {"stamp"},
        {"stamp", (dir_ / "missing.exe").string()},
        {"stamp", (dir_ / "missing.exe").string(), "1"},
        {"stamp", dir_.string()},
        {"stamp", Write("p.exe", std::string(64, 'x')), "xyz"},
        {"stamp", Write("p.exe", std::string(64, 'x')), "123456789"},
        {"stamp", Write("p.exe", std::string(64, 'x')), ""},
        {"stamp", Write("p.exe", std::string(64, 'x')), "1", "2"},
    };
    for (const auto& args : cases) {
        std::string row;
        for (const std::string& a : args) row += "[" + a + "] ";
        ProcessResult result = Publish(args);
        EXPECT_EQ(result.exitCode, 2) << row;
        EXPECT_FALSE(result.err.empty()) << row;
        EXPECT_TRUE(result.out.empty()) << row << result.out;
    }
}

TEST_F(PublishTool, StampReadsAndWritesTheFourBytesAtOffset32) {
    std::string original(64, '\0');
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<char>(i + 1);
    const std::string program = Write("Tevorin.exe", original);
    original[32] = 0x00;  // what the stamp reads before writing: 0x24232221
    ProcessResult before = Publish({"stamp", program});
    EXPECT_EQ(before.exitCode, 0) << before.err;
    EXPECT_EQ(before.out, "24232221\n");

    struct Case {
        std::string argument;
        std::string printed;
        unsigned char bytes[4];
    };
    const Case cases[] = {
        {"C1A2B", "C1A2B\n", {0x2B, 0x1A, 0x0C, 0x00}},
        {"0x10", "10\n", {0x10, 0, 0, 0}},
        {"ffffffff", "FFFFFFFF\n", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"0", "0\n", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ProcessResult write = Publish({"stamp", program, c.argument});
        ASSERT_EQ(write.exitCode, 0) << c.argument << ": " << write.err;
        ProcessResult read = Publish({"stamp", program});
        EXPECT_EQ(read.out, c.printed) << c.argument;
        std::ifstream in(program, std::ios::binary);
        std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(now.size(), 64u) << c.argument;
        for (std::size_t i = 0; i < now.size(); ++i) {
            const unsigned char expected =
                i >= 32 && i < 36 ? c.bytes[i - 32] : static_cast<unsigned char>(i + 1);
            ASSERT_EQ(static_cast<unsigned char>(now[i]), expected) << c.argument << " byte " << i;
        }
    }
}

}  // namespace
