#pragma once
// File and directory operations on UTF-16 paths.

#include <string_view>

#include "platform/core/win_types.h"

// Declared for the callers' sake: no operation here takes security settings,
// and every caller passes a null pointer.
struct SECURITY_ATTRIBUTES;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;

// Creates one directory; its parent must exist. FALSE when it cannot be
// created, also when something of that name exists already.
[[nodiscard]] BOOL CreateDirectoryW(const char16_t* path, SECURITY_ATTRIBUTES* security);

// Deletes a file (not a directory). FALSE when it does not exist or cannot be deleted.
[[nodiscard]] BOOL DeleteFileW(const char16_t* path);

// FILE_ATTRIBUTE_NORMAL makes a read-only file writable for its owner again;
// FILE_ATTRIBUTE_READONLY takes every write permission away. Other attribute
// bits have no counterpart here and are ignored. FALSE when there is no such
// file or its permissions cannot be changed.
[[nodiscard]] BOOL SetFileAttributesW(const char16_t* path, DWORD attributes);

// True when the file exists and nobody may write it (FILE_ATTRIBUTE_READONLY set).
[[nodiscard]] bool IsReadOnlyFile(const char16_t* path);

// Copies a regular file. The copy is written beside the destination under a
// temporary name, flushed to the disk and then renamed over the destination,
// so whatever happens meanwhile (a crash, a full disk) the destination holds
// either its old content or the complete copy, never a part of it. The copy
// keeps the source's permissions; when the source is a program (a binary
// executable or a script that names its interpreter) it is made executable
// wherever it is readable, so a copied program can be started afterwards.
// FALSE when the source cannot be read, the copy cannot be written in full,
// the destination is read-only (FILE_ATTRIBUTE_READONLY) or a directory, or
// `failIfExists` is TRUE and the destination exists.
[[nodiscard]] BOOL CopyFileW(const char16_t* existingFile, const char16_t* newFile,
                             BOOL failIfExists);

// Replaces the whole content of the file at `path` (creating it when
// missing) the same way CopyFileW writes: beside it first, flushed, then
// renamed over it, so a reader never meets a partly written file. The file
// gets permissions rw-r--r--. False when it cannot be written in full.
[[nodiscard]] bool ReplaceFileContent(const char16_t* path, std::string_view content);

// Access test: mode 0 tests existence, 2 write permission, 4 read permission,
// 6 both. 0 when the test passes, -1 otherwise (also for any other mode).
[[nodiscard]] int _waccess(const char16_t* path, int mode);

// Renames a file or directory. Never replaces: fails when `newName` exists.
// 0 on success, -1 on failure.
[[nodiscard]] int _wrename(const char16_t* oldName, const char16_t* newName);

// The system directory, where shared components are installed: the value of
// TEVORIN_SYSTEM_DIR, or /usr/local/lib when that is unset or empty, without
// a trailing slash. Copies it with its terminating zero into `buffer` and
// returns its length when `size` units suffice; otherwise copies nothing and
// returns the number of units needed, terminating zero included. 0 on failure.
[[nodiscard]] UINT GetSystemDirectoryW(char16_t* buffer, UINT size);
