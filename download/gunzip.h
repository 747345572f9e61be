#pragma once
// Expanding a downloaded gzip file into its place in the download directory.

#include <cstdio>
#include <string>

#include <zlib.h>

// Expands the gzip file `source` into `destination` (created or truncated).
// Both paths go to the file functions as narrow text in the ANSI code page,
// so a path with a character outside it names no file and the call fails.
// True only when the destination holds all of the expanded data and both
// files were closed without error. On failure the destination is left
// untouched when it could not be opened, and is deleted when it was opened,
// so that a partly expanded file is never taken for a finished download.
// Data that is not in gzip format at all is copied unchanged.
[[nodiscard]] bool GunzipFile(std::u16string source, std::u16string destination);

// Copies the expanded data of `gzipStream` into `outputStream` until the end
// of the compressed data, then closes the output stream and after it the gzip
// stream, on every path. False when the compressed data is damaged or cannot
// be read, when a write falls short, or when closing either stream fails.
[[nodiscard]] bool CopyGzipStream(gzFile gzipStream, std::FILE* outputStream);
