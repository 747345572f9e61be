#include "platform/net/internet.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "platform/core/text.h"
#include "platform/net/curl_transfer.h"

struct InternetHandle {
    enum class Kind { Session, Request };
    explicit InternetHandle(Kind k) : kind(k) {}
    Kind kind;
    std::string errorText;

    // Session.
    std::string agent;
    InternetSessionOptions options;

    // Request.
    std::unique_ptr<CurlTransfer> transfer;
};

namespace {

bool IsEmptyText(const char16_t* text) {
    return text == nullptr || text[0] == u'\0';
}

std::string ToUtf8(const char16_t* text) {
    return text ? Utf16ToUtf8(std::u16string_view(text)) : std::string();
}

bool IsHttpUrl(std::string_view url) {
    auto startsWithNoCase = [&](std::string_view prefix) {
        if (url.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            char c = url[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    return startsWithNoCase("http://") || startsWithNoCase("https://");
}

}  // namespace

std::chrono::milliseconds DefaultStallTimeout() {
    if (const char* text = std::getenv("TEVORIN_HTTP_STALL_MS")) {
        char* end = nullptr;
        long long value = std::strtoll(text, &end, 10);
        if (end != text && *end == '\0' && value > 0) return std::chrono::milliseconds(value);
    }
    return std::chrono::milliseconds(60'000);
}

HINTERNET InternetOpenW(const char16_t* agent, DWORD accessType, const char16_t* proxy,
                        const char16_t* proxyBypass, DWORD /*flags*/) {
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG || !IsEmptyText(proxy) ||
        !IsEmptyText(proxyBypass)) {
        return nullptr;
    }
    if (!EnsureCurlGlobalInit()) return nullptr;
    auto* session = new (std::nothrow) InternetHandle(InternetHandle::Kind::Session);
    if (!session) return nullptr;
    session->agent = ToUtf8(agent);
    session->options.stallTimeout = DefaultStallTimeout();
    return session;
}

BOOL InternetSetSessionOptions(HINTERNET session, const InternetSessionOptions& options) {
    if (!session || session->kind != InternetHandle::Kind::Session) return FALSE;
    session->options = options;
    return TRUE;
}

HINTERNET InternetOpenUrlW(HINTERNET session, const char16_t* url, const char16_t* headers,
                           DWORD headersLength, DWORD /*flags*/, UINT_PTR /*context*/) {
    if (!session || session->kind != InternetHandle::Kind::Session || !url) return nullptr;
    if (headers != nullptr && headersLength != 0) {
        session->errorText = "extra request headers are not supported";
        return nullptr;
    }
    CurlTransferSettings settings;
    settings.url = ToUtf8(url);
    if (!IsHttpUrl(settings.url)) {
        session->errorText = "not an http:// or https:// address";
        return nullptr;
    }
    settings.agent = session->agent;
    settings.connectTimeout = session->options.connectTimeout;
    settings.stallTimeout = session->options.stallTimeout;
    settings.cancel = session->options.cancel;

    auto request = std::unique_ptr<InternetHandle>(
        new (std::nothrow) InternetHandle(InternetHandle::Kind::Request));
    if (!request) return nullptr;
    request->transfer = std::make_unique<CurlTransfer>();
    if (!request->transfer->Start(settings)) {
        session->errorText = request->transfer->ErrorText();
        return nullptr;
    }
    session->errorText.clear();
    return request.release();
}

BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                    DWORD* index) {
    if (!request || request->kind != InternetHandle::Kind::Request || !bufferLength ||
        index != nullptr) {
        return FALSE;
    }
    std::string value;
    switch (infoLevel) {
        case HTTP_QUERY_STATUS_CODE:
            value = std::to_string(request->transfer->StatusCode());
            break;
        case HTTP_QUERY_CONTENT_LENGTH:
            if (!request->transfer->ContentLength()) return FALSE;
            value = *request->transfer->ContentLength();
            break;
        default:
            return FALSE;
    }
    std::u16string text = Utf8ToUtf16(value);
    const std::size_t textBytes = text.size() * sizeof(char16_t);
    const std::size_t needed = textBytes + sizeof(char16_t);
    if (!buffer || *bufferLength < needed) {
        *bufferLength = static_cast<DWORD>(needed);
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), needed);
    *bufferLength = static_cast<DWORD>(textBytes);
    return TRUE;
}

BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
    if (!bytesRead) return FALSE;
    *bytesRead = 0;
    if (!request || request->kind != InternetHandle::Kind::Request ||
        (!buffer && bytesToRead != 0)) {
        return FALSE;
    }
    std::size_t got = 0;
    ReadOutcome outcome = request->transfer->Read(static_cast<char*>(buffer), bytesToRead, got);
    *bytesRead = static_cast<DWORD>(got);
    if (outcome == ReadOutcome::Failed) {
        request->errorText = request->transfer->ErrorText();
        return FALSE;
    }
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    if (!handle) return FALSE;
    delete handle;
    return TRUE;
}

std::string InternetGetErrorText(HINTERNET handle) {
    return handle ? handle->errorText : std::string();
}
