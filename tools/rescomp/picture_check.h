#pragma once
// Structural checks of the files a script embeds, so that a damaged or wrong
// file stops the build instead of the program.

#include <cstdint>
#include <string>
#include <vector>

// Empty when `bytes` is a complete, uncompressed or bit-field BMP file;
// otherwise what is wrong with it.
std::string CheckBmpFile(const std::vector<std::uint8_t>& bytes);

// Empty when `bytes` is an ICO file whose every image lies inside the file and
// is a DIB or PNG of the size its directory entry gives.
std::string CheckIcoFile(const std::vector<std::uint8_t>& bytes);

// Empty when `bytes` is non-empty UTF-8 text.
std::string CheckManifestText(const std::vector<std::uint8_t>& bytes);
