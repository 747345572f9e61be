#include "manifest/manifest_request.h"

#include <cstdlib>

#include "platform/core/text.h"

namespace {

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsHostCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'.' || c == u'_';
}

bool IsPort(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 5) return false;
    unsigned value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    return value >= 1 && value <= 65535;
}

}  // namespace

bool IsServerAddress(std::u16string_view address) {
    std::u16string_view rest;
    if (StartsWith(address, u"http://")) {
        rest = address.substr(7);
    } else if (StartsWith(address, u"https://")) {
        rest = address.substr(8);
    } else {
        return false;
    }
    if (!rest.empty() && rest.back() == u'/') rest.remove_suffix(1);
    std::u16string_view host = rest;
    std::u16string_view port;
    if (StartsWith(rest, u"[")) {  // an IPv6 literal
        std::size_t close = rest.find(u']');
        if (close == std::u16string_view::npos || close == 1) return false;
        for (char16_t c : rest.substr(1, close - 1)) {
            if (!(c == u':' || c == u'.' || (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') ||
                  (c >= u'A' && c <= u'F'))) {
                return false;
            }
        }
        std::u16string_view after = rest.substr(close + 1);
        if (after.empty()) return true;
        if (after.front() != u':') return false;
        return IsPort(after.substr(1));
    }
    std::size_t colon = rest.find(u':');
    if (colon != std::u16string_view::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (!IsPort(port)) return false;
    }
    if (host.empty()) return false;
    for (char16_t c : host) {
        if (!IsHostCharacter(c)) return false;
    }
    return true;
}

std::u16string UpdateServerAddress() {
    if (const char* configured = std::getenv("TEVORIN_UPDATE_SERVER")) {
        std::u16string address = Utf8ToUtf16(configured);
        if (IsServerAddress(address)) {
            if (address.back() == u'/') address.pop_back();
            return address;
        }
    }
    return kBuiltInUpdateServer;
}

std::u16string BuildManifestRequestUrl(DWORD installedVersion) {
    return UpdateServerAddress() +
           FormatText(u"/cs/update2010.asp?ver=%x", static_cast<unsigned>(installedVersion));
}
