#pragma once

#include <string>

#include "platform/core/win_types.h"

// The update server built into the program, used unless TEVORIN_UPDATE_SERVER
// names another one.
inline constexpr char16_t kBuiltInUpdateServer[] = u"http://update.tevorin.example";

// The update server's address: scheme and host, with an optional port, no
// path and no trailing slash. TEVORIN_UPDATE_SERVER replaces the built-in
// address when it has that form ("http://127.0.0.1:8080"; one trailing slash
// is dropped); any other value is ignored.
std::u16string UpdateServerAddress();

// True for "http://host" or "https://host", optionally with ":port" and one
// trailing "/".
bool IsServerAddress(std::u16string_view address);

// The manifest request for an installation at `installedVersion`:
// the server's address + "/cs/update2010.asp?ver=" + the version in
// lower-case hexadecimal.
std::u16string BuildManifestRequestUrl(DWORD installedVersion);
