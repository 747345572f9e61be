#pragma once
// Finds installed font files for the face names that dialog templates and
// application code ask for. Windows face names map to families that exist
// here: the dialog faces to Liberation Sans (Arial's metrics), taken from its
// packaged place without starting fontconfig when it is there; the Chinese
// faces to a CJK sans such as WenQuanYi Micro Hei; any other name goes to
// fontconfig as it is and gets its best match.
//
// Not thread-safe: the font engine calls it under its own lock.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct FontFile {
    std::string path;
    int index = 0;        // face index inside a collection file
    bool bold = false;    // the file's own weight is bold (no emboldening needed)
    bool italic = false;  // the file's own slant is italic or oblique
    friend bool operator==(const FontFile&, const FontFile&) = default;
};

// The fontconfig family that a Windows face name stands for.
std::string FamilyForFaceName(std::u16string_view faceName);

// The best installed file for the face name and style; nullopt only when
// fontconfig cannot start or knows no font at all.
std::optional<FontFile> ResolveFontFile(std::u16string_view faceName, bool bold, bool italic);

// Files to try, in order, for characters the resolved face lacks: a
// CJK-capable sans first, then the rest of fontconfig's ordering for
// sans-serif. Computed once.
const std::vector<FontFile>& FallbackFontFiles();
