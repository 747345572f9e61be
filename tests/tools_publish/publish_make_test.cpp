// tevorin-publish make: a release folder built from real files, read back the
// way the updater reads it (the manifest through `check`, the files through
// gzip).

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/run_process.h"

namespace {

namespace fs = std::filesystem;
using test_support::ProcessResult;
using test_support::RunProcess;

ProcessResult Publish(const std::vector<std::string>& args) {
    ProcessResult result = RunProcess(TEVORIN_PUBLISH_EXE, args);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    return result;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The bytes of a gzip file, or "<not gzip>" when zlib finds it damaged.
std::string Gunzip(const fs::path& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return "<not readable>";
    std::string bytes;
    char buffer[4096];
    int got;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
    const bool clean = got == 0 && gzclose(file) == Z_OK;
    return clean ? bytes : "<not gzip>";
}

class PublishMake : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tevorin-make-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "in");
        setenv("TEVORIN_ACP", "UTF-8", 1);
    }
    void TearDown() override {
        unsetenv("TEVORIN_ACP");
        fs::remove_all(dir_);
    }
    std::string Input(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / "in" / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string Out() const { return (dir_ / "site").string(); }
    fs::path dir_;
};

TEST_F(PublishMake, BuildsAReleaseThatCheckReadsBackAndWhoseFilesExpand) {
    std::string program(5000, '\0');
    for (std::size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 7);
    const std::string exe = Input("Tevorin.exe", program);
    const std::string codec = Input("codec.dll", "codec bytes");
    const std::string ring = Input("ring tone.wav", "");
    ProcessResult made = Publish({"make", "--version", "c1a2c", "--action", "UserPrompt",
                                  "--description", "Clearer calls.\nFaster <start> & more",
                                  "--base-url", "http://127.0.0.1:8080/releases/", "--out", Out(),
                                  exe, codec + ":[SYSTEM]:regist", ring + ":sound\\high"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(made.err.empty()) << made.err;

    const fs::path manifest = dir_ / "site" / "cs" / "update2010.asp";
    ProcessResult check = Publish({"check", manifest.string()});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out,
              "{\"serverVersion\":\"C1A2C\",\"action\":\"UserPrompt\","
              "\"description\":\"Clearer calls.\\u000D\\u000AFaster <start> & more\",\"files\":["
              "{\"filename\":\"Tevorin.exe\","
              "\"src\":\"http://127.0.0.1:8080/releases/c1a2c/Tevorin.exe.gz\","
              "\"localdir\":\"\",\"zipped\":\"true\",\"regist\":\"\"},"
              "{\"filename\":\"codec.dll\","
              "\"src\":\"http://127.0.0.1:8080/releases/c1a2c/codec.dll.gz\","
              "\"localdir\":\"[SYSTEM]\",\"zipped\":\"true\",\"regist\":\"true\"},"
              "{\"filename\":\"ring tone.wav\","
              "\"src\":\"http://127.0.0.1:8080/releases/c1a2c/ring%20tone.wav.gz\","
              "\"localdir\":\"sound\\\\high\",\"zipped\":\"true\",\"regist\":\"\"}]}\n");

    const struct {
        const char* published;
        std::string content;
    } files[] = {
        {"Tevorin.exe.gz", program},
        {"codec.dll.gz", "codec bytes"},
        {"ring tone.wav.gz", ""},
    };
    for (const auto& f : files) {
        EXPECT_EQ(Gunzip(dir_ / "site" / "c1a2c" / f.published), f.content) << f.published;
    }
    // Nothing half-written is left beside the published files.
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / "site")) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

TEST_F(PublishMake, NoGzipPublishesFilesAsTheyAreAndARepublishReplacesTheManifest) {
    const std::string a = Input("a.bin", "first");
    ASSERT_EQ(Publish({"make", "--version", "2", "--action", "Default", "--description", "",
                       "--base-url", "http://127.0.0.1:1", "--no-gzip", "--out", Out(), a})
                  .exitCode,
              0);
    EXPECT_EQ(ReadAll(dir_ / "site" / "2" / "a.bin"), "first");
    const std::string manifest = ReadAll(dir_ / "site" / "cs" / "update2010.asp");
    EXPECT_EQ(manifest.find("zipped"), std::string::npos) << manifest;

    const std::string b = Input("b.bin", "second");
    ProcessResult again = Publish({"make", "--version", "3", "--action", "Default", "--description",
                                   "", "--base-url", "http://127.0.0.1:1", "--out", Out(), b});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    ProcessResult check = Publish({"check", (dir_ / "site" / "cs" / "update2010.asp").string()});
    EXPECT_NE(check.out.find("\"serverVersion\":\"3\""), std::string::npos) << check.out;
    EXPECT_EQ(check.out.find("a.bin"), std::string::npos) << check.out;
    EXPECT_EQ(Gunzip(dir_ / "site" / "3" / "b.bin.gz"), "second");
}

TEST_F(PublishMake, WritesTheManifestInTheAnsiCodePage) {
    setenv("TEVORIN_ACP", "GBK", 1);
    const std::string a = Input("a.bin", "x");
    ProcessResult made = Publish({"make", "--version", "5", "--action", "Default", "--description",
                                  "\xE4\xB8\xAD\xE6\x96\x87", "--base-url", "http://127.0.0.1:1",
                                  "--out", Out(), a});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string manifest = ReadAll(dir_ / "site" / "cs" / "update2010.asp");
    EXPECT_NE(manifest.find("\xD6\xD0\xCE\xC4"), std::string::npos) << manifest;
    ProcessResult check = Publish({"check", (dir_ / "site" / "cs" / "update2010.asp").string()});
    EXPECT_NE(check.out.find("\"description\":\"\xE4\xB8\xAD\xE6\x96\x87\""), std::string::npos)
        << check.out;
}

TEST_F(PublishMake, RefusesWhatTheUpdaterWouldMisreadAndWritesNothing) {
    const std::string a = Input("a.bin", "x");
    const std::string a2 = (dir_ / "a.bin").string();
    std::ofstream(a2) << "same name";
    const std::string quoted = Input("say\"hi\".txt", "x");
    const std::string blank = Input(" lead.txt", "x");
    const std::string longName = Input(std::string(64, 'n'), "x");
    const std::vector<std::string> base = {
        "--version", "7",          "--action",           "Default", "--description",
        "d",         "--base-url", "http://127.0.0.1:1", "--out",   Out()};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"make"};
        args.insert(args.end(), base.begin(), base.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const struct {
        const char* name;
        std::vector<std::string> args;
    } cases[] = {
        {"no files", with({})},
        {"missing file", with({(dir_ / "in" / "missing").string()})},
        {"a folder", with({(dir_ / "in").string()})},
        {"parent folder", with({a + ":../outside"})},
        {"absolute folder", with({a + ":/etc"})},
        {"absolute with a backslash", with({a + ":\\x"})},
        {"system marker spelt otherwise", with({a + ": [SYSTEM]"})},
        {"bad regist word", with({a + "::yes"})},
        {"too many colons", with({a + ":x:regist:more"})},
        {"duplicate names", with({a, a2 + ":other"})},
        {"quote in name", with({quoted})},
        {"blank around name", with({blank})},
        {"name too long", with({longName})},
        {"folder too long", with({a + ":" + std::string(64, 'd')})},
        {"address too long",
         {"make", "--version", "7", "--action", "Default", "--description", "d", "--base-url",
          "http://127.0.0.1:1/" + std::string(240, 'p'), "--out", Out(), a}},
        {"version 0",
         {"make", "--version", "0", "--action", "Default", "--description", "d", "--out", Out(),
          a}},
        {"version not hex",
         {"make", "--version", "1.2", "--action", "Default", "--description", "d", "--out", Out(),
          a}},
        {"empty action",
         {"make", "--version", "1", "--action", "", "--description", "d", "--out", Out(), a}},
        {"no out", {"make", "--version", "1", "--action", "Default", "--description", "d", a}},
        {"no description", {"make", "--version", "1", "--action", "Default", "--out", Out(), a}},
        {"bad base",
         {"make", "--version", "1", "--action", "Default", "--description", "d", "--base-url",
          "ftp://127.0.0.1", "--out", Out(), a}},
        {"unknown option", with({"--zip", a})},
        {"option without value", {"make", "--version"}},
        {"control character",
         {"make", "--version", "1", "--action", "Default", "--description", std::string("bell\a"),
          "--out", Out(), a}},
    };
    for (const auto& c : cases) {
        ProcessResult result = Publish(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_NE(result.err.find("tevorin-publish: "), std::string::npos) << c.name;
        EXPECT_FALSE(fs::exists(dir_ / "site")) << c.name;
    }
}

TEST_F(PublishMake, AnUnwritableOutputFolderFailsWithoutAManifest) {
    const std::string a = Input("a.bin", "x");
    std::ofstream(dir_ / "site") << "a file where the folder should be";
    ProcessResult result = Publish(
        {"make", "--version", "1", "--action", "Default", "--description", "", "--out", Out(), a});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("cannot create"), std::string::npos) << result.err;
}

}  // namespace
