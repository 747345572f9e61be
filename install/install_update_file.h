#pragma once
// Putting one downloaded file of an update in its place.

#include <string>

#include "manifest/update_file_entry.h"

// How long the installation pauses after starting a registration, so the
// registration program gets going before the next file is copied.
inline constexpr unsigned kRegistrationPauseMs = 100;

// Copies `upgradeDir` + `filename` of the entry to where its `localdir` says:
//   - ""         : `installDir` + filename;
//   - "[SYSTEM]" : the system directory + "/" + filename (exactly this text;
//                  any other spelling names a subdirectory);
//   - otherwise  : `installDir` + localdir + "/" + filename, where localdir
//                  is a subdirectory (components separated by '\' or '/');
//                  its last level is created when missing, its parents must
//                  exist.
// Both directories end with '/'. A read-only file at the destination is made
// writable and replaced; the copy replaces it atomically. When `regist`,
// trimmed and in lower case, is "true", the installed file is registered: a
// destination ending in "exe" (any case) is started with "/regserver",
// anything else is handed to "regsvr32 /s"; the registration is started, not
// awaited, and does not affect the result. The downloaded file is deleted
// after a successful copy.
//
// False when the copy failed, and also, without touching anything, when the
// entry would install outside its place: a `localdir` that is absolute, names
// a drive or holds a ".." component, or a `filename` that is not a plain file
// name (see IsPlainFileName), or a system directory too long to be used.
[[nodiscard]] bool InstallUpdateFile(const UpdateFileEntry& entry, const std::u16string& upgradeDir,
                                     const std::u16string& installDir);
