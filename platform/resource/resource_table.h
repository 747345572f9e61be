#pragma once
// The resources of a program, as the resource compiler writes them into the
// program, and the look-up that the window system and the program use.
//
// The program installs its compiled table once at start (InstallResourceTable)
// before it creates any window; tests install tables of their own.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/resource/dialog_template.h"
#include "platform/resource/version_info.h"

// A picture kept as the complete file image: a BMP file for a bitmap, an ICO
// file with all its images for an icon group.
struct BinaryResource {
    int id = 0;
    std::span<const std::uint8_t> bytes;
};

struct ResourceTable {
    std::vector<DialogTemplate> dialogs;
    std::vector<BinaryResource> bitmaps;
    std::vector<BinaryResource> icons;
    std::string_view manifest;  // the application manifest, UTF-8 XML; empty when there is none
    VersionInfo versionInfo;
    bool hasVersionInfo = false;
};

// Makes `table` the one the look-ups search and returns the table installed
// before (null when none was). The table must outlive its installation; null
// uninstalls. Install before other threads look resources up.
const ResourceTable* InstallResourceTable(const ResourceTable* table);

// The installed table, null when none is installed.
const ResourceTable* InstalledResourceTable();

// Look-ups in the installed table; null when there is no table or no such id.
const DialogTemplate* FindDialogTemplate(int id);
const BinaryResource* FindBitmapResource(int id);
const BinaryResource* FindIconResource(int id);

// The installed table's manifest and version resource; empty text and null
// when there is none.
std::string_view FindApplicationManifest();
const VersionInfo* FindVersionInfo();
