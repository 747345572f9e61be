#pragma once
// An X server for the tests that need a screen: the one the test command
// started (TEVORIN_TEST_X_DISPLAY), or a private Xvfb started here with a
// free display number.

#include <sys/types.h>

#include <memory>
#include <string>

namespace test_support {

// The full path of a program on PATH, or "" when there is none.
std::string FindProgram(const std::string& name);

class TestXServer {
  public:
    enum class Kind { kSharedIfAny, kPrivate };
    // Null, with the reason in *whyNot, when Xvfb is not installed or does
    // not start.
    static std::unique_ptr<TestXServer> Start(Kind kind, std::string* whyNot);
    ~TestXServer();  // ends a private server
    TestXServer(const TestXServer&) = delete;
    TestXServer& operator=(const TestXServer&) = delete;

    // ":<n>", for DISPLAY.
    const std::string& Display() const { return display_; }
    // Kills a private server at once, as a crash would; false for a shared one.
    bool Kill();

  private:
    TestXServer() = default;
    std::string display_;
    pid_t pid_ = -1;
};

}  // namespace test_support
