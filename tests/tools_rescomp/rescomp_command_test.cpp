// The resource compiler as the build runs it: exit status, messages on
// standard error, and what it leaves on disk.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kDataDir = std::string(TEVORIN_TEST_DATA_DIR) + "/rescomp";

struct RunResult {
    int exitStatus = -1;
    std::string standardError;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

class RescompCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "rescomp_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    RunResult Run(const std::vector<std::string>& args) {
        RunResult result;
        const fs::path errorFile = dir_ / "stderr.txt";
        posix_spawn_file_actions_t actions;
        EXPECT_EQ(posix_spawn_file_actions_init(&actions), 0);
        EXPECT_EQ(posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(),
                                                   O_WRONLY | O_CREAT | O_TRUNC, 0644),
                  0);
        std::vector<std::string> argv{RESCOMP_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (std::string& a : argv) raw.push_back(a.data());
        raw.push_back(nullptr);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, RESCOMP_PATH, &actions, nullptr, raw.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        if (spawned != 0) return result;
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.standardError = ReadAll(errorFile);
        return result;
    }

    fs::path dir_;
};

TEST_F(RescompCommand, WritesTheSourceAndTheDependencyList) {
    const fs::path output = dir_ / "table.cpp";
    const fs::path depfile = dir_ / "table.d";
    const RunResult run = Run({kDataDir + "/good/sample.rc", "-o", output.string(), "--depfile",
                               depfile.string(), "--function", "SampleTable", "--include",
                               "sample/sample.h"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    const std::string source = ReadAll(output);
    EXPECT_NE(source.find("const ResourceTable& SampleTable()"), std::string::npos);
    EXPECT_NE(source.find("dialog.id = 101;"), std::string::npos);
    const std::string deps = ReadAll(depfile);
    EXPECT_EQ(deps.rfind(output.string() + ":", 0), 0u) << deps;
    for (const char* input : {"good/sample.rc", "good/sample_ids.h", "good/pictures/tiny.bmp",
                              "good/pictures/tiny.ico", "good/sample.manifest"}) {
        EXPECT_NE(deps.find(input), std::string::npos) << input << " missing in\n" << deps;
    }
    EXPECT_FALSE(fs::exists(dir_ / "table.cpp.tmp"));
}

TEST_F(RescompCommand, ABadScriptFailsAndLeavesTheOutputAlone) {
    const fs::path output = dir_ / "table.cpp";
    {
        std::ofstream previous(output);
        previous << "previous";
    }
    const std::string script = kDataDir + "/bad/duplicate_control.rc";
    const RunResult run = Run({script, "-o", output.string()});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError.rfind(script + ":6: error: control id 5 is used twice", 0), 0u)
        << run.standardError;
    EXPECT_EQ(ReadAll(output), "previous");
}

TEST_F(RescompCommand, ABadCommandLineExitsWithUsage) {
    const std::string script = kDataDir + "/good/sample.rc";
    const std::string output = (dir_ / "out.cpp").string();
    const std::vector<std::vector<std::string>> lines{
        {},
        {script},
        {script, "-o"},
        {script, "-o", output, "--frobnicate"},
        {script, script, "-o", output},
    };
    for (const auto& line : lines) {
        std::string shown;
        for (const std::string& a : line) shown += " " + a;
        const RunResult run = Run(line);
        EXPECT_EQ(run.exitStatus, 2) << "rescomp" << shown;
        EXPECT_NE(run.standardError.find("usage: rescomp"), std::string::npos) << "rescomp" << shown;
        EXPECT_FALSE(fs::exists(output)) << "rescomp" << shown;
    }
}

TEST_F(RescompCommand, AnOutputThatCannotBeWrittenIsAnError) {
    const fs::path output = dir_ / "no_such_folder" / "table.cpp";
    const RunResult run = Run({kDataDir + "/good/sample.rc", "-o", output.string()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.standardError.find("cannot create"), std::string::npos) << run.standardError;
}

}  // namespace
