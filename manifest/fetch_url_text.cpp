#include "manifest/fetch_url_text.h"

#include <cstring>
#include <new>

#include "platform/core/ansi_code_page.h"
#include "platform/net/internet.h"

namespace {

constexpr DWORD kChunkBytes = 8192;
constexpr DWORD kManifestRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE;

// Appends the body, chunk by chunk, to `result`. A chunk counts up to its
// first zero byte; the rest of that chunk is dropped. A character split
// between two chunks is carried over whole, but not across a dropped rest.
void ReadBody(HINTERNET request, std::u16string& result) {
    char buffer[kChunkBytes + 1];
    AnsiStreamDecoder decoder;
    while (true) {
        DWORD bytesRead = 0;
        if (!InternetReadFile(request, buffer, kChunkBytes, &bytesRead) || bytesRead == 0) break;
        buffer[bytesRead] = '\0';
        const std::size_t textBytes = std::strlen(buffer);
        std::u16string text = decoder.Feed(std::string_view(buffer, textBytes));
        if (textBytes < bytesRead) text += decoder.Finish();
        result += text;
    }
    result += decoder.Finish();
}

}  // namespace

std::u16string FetchUrlText(const std::u16string& url) {
    std::u16string result;
    HINTERNET session =
        InternetOpenW(u"OstrelLiveUpdate", INTERNET_OPEN_TYPE_PRECONFIG, u"", nullptr, 0);
    if (!session) return result;
    HINTERNET request =
        InternetOpenUrlW(session, url.c_str(), nullptr, 0, kManifestRequestFlags, 0);
    if (!request) {
        InternetCloseHandle(session);
        return result;
    }
    try {
        ReadBody(request, result);
    } catch (const std::bad_alloc&) {
        // Out of memory: keep what was gathered so far.
    }
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return result;
}
