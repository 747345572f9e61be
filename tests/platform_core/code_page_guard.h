#pragma once
// Sets TEVORIN_ACP for the lifetime of a test and restores the old value.

#include <cstdlib>
#include <optional>
#include <string>

class CodePageGuard {
  public:
    explicit CodePageGuard(const char* name) {
        if (const char* old = std::getenv("TEVORIN_ACP")) previous_ = old;
        if (name != nullptr) {
            setenv("TEVORIN_ACP", name, 1);
        } else {
            unsetenv("TEVORIN_ACP");
        }
    }
    ~CodePageGuard() {
        if (previous_) {
            setenv("TEVORIN_ACP", previous_->c_str(), 1);
        } else {
            unsetenv("TEVORIN_ACP");
        }
    }
    CodePageGuard(const CodePageGuard&) = delete;
    CodePageGuard& operator=(const CodePageGuard&) = delete;

  private:
    std::optional<std::string> previous_;
};
