#include "manifest/fetch_url_text.h"

#include <new>

#include "manifest/manifest_body_text.h"
#include "platform/net/internet.h"

namespace {

constexpr DWORD kManifestRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE;

void ReadBody(HINTERNET request, ManifestBodyText& body) {
    char buffer[ManifestBodyText::kChunkBytes];
    while (true) {
        DWORD bytesRead = 0;
        if (!InternetReadFile(request, buffer, sizeof buffer, &bytesRead) || bytesRead == 0) break;
        body.Append(std::string_view(buffer, bytesRead));
    }
    body.Finish();
}

}  // namespace

std::u16string FetchUrlText(const std::u16string& url) {
    HINTERNET session =
        InternetOpenW(u"OstrelLiveUpdate", INTERNET_OPEN_TYPE_PRECONFIG, u"", nullptr, 0);
    if (!session) return {};
    HINTERNET request =
        InternetOpenUrlW(session, url.c_str(), nullptr, 0, kManifestRequestFlags, 0);
    if (!request) {
        InternetCloseHandle(session);
        return {};
    }
    ManifestBodyText body;
    try {
        ReadBody(request, body);
    } catch (const std::bad_alloc&) {
        // Out of memory: keep the text gathered up to the previous chunk.
    }
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    return std::move(body.Text());
}
