#pragma once
// HTTP client operations in the shape the updater uses them: open a session
// with an agent name, open a URL on it, ask for the status code and the
// Content-Length header, pull the body in chunks, close. Every handle belongs
// to the thread that uses it; separate threads use separate sessions.

#include <atomic>
#include <chrono>
#include <string>

#include "platform/core/win_types.h"

struct InternetHandle;
using HINTERNET = InternetHandle*;

// Access type: the proxies configured for this process (http_proxy,
// https_proxy, all_proxy and no_proxy in the environment).
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;

// Flags of InternetOpenUrlW. Every request goes to the server (nothing is
// cached and no cookie is kept in any case); the flags are accepted so that
// callers state what they rely on.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;
inline constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;

// What HttpQueryInfoW reports.
enum HttpQueryInfoLevel : DWORD {
    HTTP_QUERY_STATUS_CODE = 1,     // the final response's status code as decimal text
    HTTP_QUERY_CONTENT_LENGTH = 2,  // the final response's Content-Length header, as sent
};

// Limits and the cancel switch of one session; they apply to every request
// opened on it afterwards.
struct InternetSessionOptions {
    // Longest wait for the TCP (and TLS) connection to a server.
    std::chrono::milliseconds connectTimeout{30'000};
    // A request fails when not a single byte arrives for this long while the
    // caller is waiting for one (before the response headers or in the body).
    std::chrono::milliseconds stallTimeout{60'000};
    // When set and true, every wait gives up within about 50 ms and the
    // operation in progress fails. The flag must outlive the session.
    const std::atomic<bool>* cancel = nullptr;
};

// The stall time of a new session: TEVORIN_HTTP_STALL_MS when set to a
// positive number, else 60 seconds.
std::chrono::milliseconds DefaultStallTimeout();

// Opens a session. Returns nullptr when the HTTP library cannot start.
// `proxy` and `proxyBypass` must be null or empty: only the preconfigured
// proxies are supported.
[[nodiscard]] HINTERNET InternetOpenW(const char16_t* agent, DWORD accessType,
                                      const char16_t* proxy, const char16_t* proxyBypass,
                                      DWORD flags);

// Changes the limits of a session. False when `session` is not a session.
[[nodiscard]] BOOL InternetSetSessionOptions(HINTERNET session,
                                             const InternetSessionOptions& options);

// Sends a GET for `url` (http:// or https://, redirections followed) and
// waits until the final response's headers have arrived. Returns nullptr when
// no response could be had: a bad address, no connection, a time-out, a
// cancel. `headers` must be null or `headersLength` 0.
[[nodiscard]] HINTERNET InternetOpenUrlW(HINTERNET session, const char16_t* url,
                                         const char16_t* headers, DWORD headersLength, DWORD flags,
                                         UINT_PTR context);

// Copies the requested header of the response into `buffer` as UTF-16 text
// with a terminating zero; `*bufferLength` holds the buffer's size in bytes
// on entry and the text's length in bytes (without the zero) on return.
// False when the header is absent, the buffer too small (`*bufferLength` then
// holds the bytes needed) or the handle is no request. `index` must be null.
[[nodiscard]] BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, void* buffer,
                                  DWORD* bufferLength, DWORD* index);

// Reads up to `bytesToRead` bytes of the body. True with `*bytesRead` > 0 for
// data, true with `*bytesRead` 0 at the end of a complete body, false when
// the body cannot be read to its end: the connection broke or stalled, a
// chunked or announced-length body ended early, or the request was
// cancelled.
[[nodiscard]] BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD bytesToRead,
                                    DWORD* bytesRead);

// Closes a request or a session (close every request of a session first).
BOOL InternetCloseHandle(HINTERNET handle);

// A short English description of the last failure on `handle`, for tools and
// diagnostics; empty when nothing failed.
std::string InternetGetErrorText(HINTERNET handle);
