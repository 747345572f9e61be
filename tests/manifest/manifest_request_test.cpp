#include "manifest/manifest_request.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/text.h"

namespace {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ManifestRequest, FormatsTheVersionInLowerCaseHex) {
    ScopedEnv env("TEVORIN_UPDATE_SERVER", nullptr);
    struct Case {
        DWORD version;
        std::u16string url;
    };
    const Case cases[] = {
        {0xC1A2B, u"http://update.tevorin.example/cs/update2010.asp?ver=c1a2b"},
        {0, u"http://update.tevorin.example/cs/update2010.asp?ver=0"},
        {0xFFFFFFFF, u"http://update.tevorin.example/cs/update2010.asp?ver=ffffffff"},
        {0x00000010, u"http://update.tevorin.example/cs/update2010.asp?ver=10"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(BuildManifestRequestUrl(c.version)), Utf16ToUtf8(c.url)) << c.version;
    }
}

TEST(ManifestRequest, ServerFromTheEnvironmentOnlyWhenItIsAnAddress) {
    struct Case {
        const char* value;
        std::u16string server;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8080", u"http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080/", u"http://127.0.0.1:8080"},
        {"https://updates.example.org", u"https://updates.example.org"},
        {"http://[::1]:9000", u"http://[::1]:9000"},
        {"http://localhost", u"http://localhost"},
        {"", kBuiltInUpdateServer},
        {"127.0.0.1:8080", kBuiltInUpdateServer},
        {"ftp://127.0.0.1", kBuiltInUpdateServer},
        {"http://127.0.0.1:8080/path", kBuiltInUpdateServer},
        {"http://127.0.0.1:8080?x=1", kBuiltInUpdateServer},
        {"http://127.0.0.1:0", kBuiltInUpdateServer},
        {"http://127.0.0.1:70000", kBuiltInUpdateServer},
        {"http://", kBuiltInUpdateServer},
        {"http://user@host", kBuiltInUpdateServer},
        {"http://host name", kBuiltInUpdateServer},
        {"HTTP://host", kBuiltInUpdateServer},
    };
    for (const Case& c : cases) {
        ScopedEnv env("TEVORIN_UPDATE_SERVER", c.value);
        EXPECT_EQ(Utf16ToUtf8(UpdateServerAddress()), Utf16ToUtf8(c.server)) << c.value;
        EXPECT_EQ(Utf16ToUtf8(BuildManifestRequestUrl(0x1F)),
                  Utf16ToUtf8(c.server + u"/cs/update2010.asp?ver=1f"))
            << c.value;
    }
}

}  // namespace
