#include "platform/net/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The body bytes held for the reader at most (plus what libcurl keeps while
// paused): bounded memory however fast the server sends.
constexpr std::size_t kWindowBytes = 64 * 1024;
// libcurl's receive buffer: one system call fetches what the reader takes
// in several reads.
constexpr long kReceiveBufferBytes = 64 * 1024;
// The longest single wait inside libcurl, so that a cancel is seen quickly.
constexpr std::chrono::milliseconds kPollSlice{50};
constexpr long kMaxRedirects = 10;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string_view TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// A Content-Length value that frames the body: decimal digits only.
std::optional<std::uint64_t> ParseLength(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

bool EnsureCurlGlobalInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

struct CurlTransfer::State {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    bool easyAdded = false;
    curl_slist* requestHeaders = nullptr;
    char curlError[CURL_ERROR_SIZE] = {};

    CurlTransferSettings settings;

    // Body bytes not yet handed to the reader: window[readPos, size).
    std::vector<char> window;
    std::size_t readPos = 0;
    bool paused = false;
    Clock::time_point lastActivity;

    bool done = false;
    bool failed = false;
    std::string errorText;

    // Headers of the response block being received.
    std::optional<std::string> blockContentLength;
    bool blockHasLocation = false;
    bool blockChunked = false;

    // The final response.
    bool headersReady = false;
    long status = 0;
    std::optional<std::string> contentLength;
    std::optional<std::uint64_t> framingLength;
    std::uint64_t bodyBytes = 0;

    ~State() {
        if (easyAdded) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        curl_slist_free_all(requestHeaders);
    }

    std::size_t Buffered() const { return window.size() - readPos; }

    void Fail(std::string text) {
        if (!failed) errorText = std::move(text);
        failed = true;
        done = true;
    }

    void OnHeaderLine(std::string_view line) {
        lastActivity = Clock::now();
        if (headersReady) return;  // trailers of a chunked body
        if (line.starts_with("HTTP/")) {
            blockContentLength.reset();
            blockHasLocation = false;
            blockChunked = false;
            return;
        }
        std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty()) {
            OnHeaderBlockEnd();
            return;
        }
        std::size_t colon = trimmed.find(':');
        if (colon == std::string_view::npos) return;
        std::string_view name = TrimBlanks(trimmed.substr(0, colon));
        std::string_view value = TrimBlanks(trimmed.substr(colon + 1));
        if (EqualsIgnoringCase(name, "content-length")) {
            if (!blockContentLength) blockContentLength = std::string(value);
        } else if (EqualsIgnoringCase(name, "location")) {
            blockHasLocation = !value.empty();
        } else if (EqualsIgnoringCase(name, "transfer-encoding")) {
            blockChunked = value.find("chunked") != std::string_view::npos;
        }
    }

    void OnHeaderBlockEnd() {
        long code = 0;
        if (curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code) != CURLE_OK) return;
        if (code >= 100 && code < 200) return;                      // interim response
        if (code >= 300 && code < 400 && blockHasLocation) return;  // libcurl follows it
        headersReady = true;
        status = code;
        contentLength = blockContentLength;
        if (contentLength && !blockChunked) framingLength = ParseLength(*contentLength);
    }

    std::size_t OnBody(const char* data, std::size_t size) {
        if (Buffered() >= kWindowBytes) {
            paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (readPos == window.size()) {
            window.clear();
            readPos = 0;
        }
        window.insert(window.end(), data, data + size);
        bodyBytes += size;
        lastActivity = Clock::now();
        return size;
    }

    void CollectFinished() {
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg != CURLMSG_DONE || msg->easy_handle != easy) continue;
            CURLcode code = msg->data.result;
            if (code != CURLE_OK) {
                Fail(curlError[0] ? std::string(curlError) : curl_easy_strerror(code));
            } else if (framingLength && bodyBytes < *framingLength) {
                Fail("the connection closed before the announced length had arrived");
            } else {
                done = true;
            }
        }
    }

    // Drives the transfer until `ready()` holds or the transfer has ended.
    template <typename Ready>
    void DriveUntil(Ready ready) {
        const Clock::time_point waitStart = Clock::now();
        while (!done && !ready()) {
            if (settings.cancel && settings.cancel->load(std::memory_order_relaxed)) {
                Fail("cancelled");
                return;
            }
            if (paused) {
                paused = false;
                if (curl_easy_pause(easy, CURLPAUSE_CONT) != CURLE_OK) {
                    Fail("cannot resume the transfer");
                    return;
                }
                if (ready()) return;
            }
            int running = 0;
            CURLMcode mc = curl_multi_perform(multi, &running);
            if (mc != CURLM_OK) {
                Fail(curl_multi_strerror(mc));
                return;
            }
            CollectFinished();
            if (done || ready() || paused) continue;
            const Clock::time_point now = Clock::now();
            const auto quiet = now - std::max(lastActivity, waitStart);
            if (quiet >= settings.stallTimeout) {
                Fail("no data arrived within the stall time");
                return;
            }
            auto slice = std::min<Clock::duration>(kPollSlice, settings.stallTimeout - quiet);
            int timeoutMs = static_cast<int>(std::max<long long>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(slice).count()));
            mc = curl_multi_poll(multi, nullptr, 0, timeoutMs, nullptr);
            if (mc != CURLM_OK) {
                Fail(curl_multi_strerror(mc));
                return;
            }
        }
    }
};

namespace {

std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* user) {
    auto* state = static_cast<CurlTransfer::State*>(user);
    state->OnHeaderLine(std::string_view(data, size * count));
    return size * count;
}

std::size_t WriteCallback(char* data, std::size_t size, std::size_t count, void* user) {
    return static_cast<CurlTransfer::State*>(user)->OnBody(data, size * count);
}

}  // namespace

CurlTransfer::CurlTransfer() : state_(std::make_unique<State>()) {}
CurlTransfer::~CurlTransfer() = default;

bool CurlTransfer::Start(const CurlTransferSettings& settings) {
    State& s = *state_;
    s.settings = settings;
    if (!EnsureCurlGlobalInit()) {
        s.Fail("the HTTP library cannot start");
        return false;
    }
    s.multi = curl_multi_init();
    s.easy = curl_easy_init();
    if (!s.multi || !s.easy) {
        s.Fail("out of memory");
        return false;
    }
    // Every request goes to the origin; the connection closes with the
    // response, so the body ends at the close when its length is unusable.
    for (const char* header :
         {"Cache-Control: no-cache", "Pragma: no-cache", "Connection: close"}) {
        curl_slist* grown = curl_slist_append(s.requestHeaders, header);
        if (!grown) {
            s.Fail("out of memory");
            return false;
        }
        s.requestHeaders = grown;
    }
    const long connectMs =
        static_cast<long>(std::max<long long>(1, settings.connectTimeout.count()));
    bool ok = curl_easy_setopt(s.easy, CURLOPT_URL, settings.url.c_str()) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_USERAGENT, settings.agent.c_str()) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_HTTPHEADER, s.requestHeaders) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_CONNECTTIMEOUT_MS, connectMs) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
              // The body's end is checked here against the announced length,
              // so that a length that is no number does not fail the request.
              curl_easy_setopt(s.easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_ERRORBUFFER, s.curlError) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_HEADERFUNCTION, HeaderCallback) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_HEADERDATA, &s) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_WRITEFUNCTION, WriteCallback) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_WRITEDATA, &s) == CURLE_OK &&
              curl_easy_setopt(s.easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes) == CURLE_OK;
    if (!ok) {
        s.Fail("the HTTP library rejected the request settings");
        return false;
    }
    if (curl_multi_add_handle(s.multi, s.easy) != CURLM_OK) {
        s.Fail("the HTTP library cannot start the request");
        return false;
    }
    s.easyAdded = true;
    s.lastActivity = Clock::now();
    s.DriveUntil([&s] { return s.headersReady; });
    if (!s.headersReady && s.done && !s.failed) {
        // A response libcurl accepted although it looked like a redirection.
        long code = 0;
        if (curl_easy_getinfo(s.easy, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK && code != 0) {
            s.headersReady = true;
            s.status = code;
            s.contentLength = s.blockContentLength;
        }
    }
    return s.headersReady;
}

long CurlTransfer::StatusCode() const {
    return state_->status;
}

const std::optional<std::string>& CurlTransfer::ContentLength() const {
    return state_->contentLength;
}

ReadOutcome CurlTransfer::Read(char* buffer, std::size_t capacity, std::size_t& bytesRead) {
    State& s = *state_;
    bytesRead = 0;
    if (capacity == 0) return s.failed ? ReadOutcome::Failed : ReadOutcome::Data;
    if (s.Buffered() == 0 && !s.done) s.DriveUntil([&s] { return s.Buffered() > 0; });
    if (s.Buffered() > 0) {
        bytesRead = std::min(capacity, s.Buffered());
        std::memcpy(buffer, s.window.data() + s.readPos, bytesRead);
        s.readPos += bytesRead;
        return ReadOutcome::Data;
    }
    return s.failed ? ReadOutcome::Failed : ReadOutcome::EndOfBody;
}

const std::string& CurlTransfer::ErrorText() const {
    return state_->errorText;
}
