#pragma once
// Where a file of an update may be installed. The names come from the update
// manifest, which is not trusted to stay inside the installation directory.

#include <optional>
#include <string>
#include <string_view>

// The marker in `localdir` for the system directory.
inline constexpr char16_t kSystemDirectoryMarker[] = u"[SYSTEM]";

// A subdirectory text of `localdir` as a path below the installation
// directory: components separated by '\' or '/', returned with '/' between
// them. Empty (no value) when the text could lead elsewhere: an absolute
// path, a drive ("C:"), or a ".." component. An empty text is not a
// subdirectory either: it means the installation directory itself.
[[nodiscard]] std::optional<std::u16string> SubdirectoryBelowInstallation(std::u16string_view localdir);

// True when `filename` names a file directly inside a directory: not empty,
// not "." or "..", without a separator ('\' or '/'), and without a quote,
// which would break the quoting of a registration command.
[[nodiscard]] bool IsPlainFileName(std::u16string_view filename);
