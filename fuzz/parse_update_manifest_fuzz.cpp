// Feeds arbitrary bytes, taken as UTF-16 units, to the manifest parser and
// checks what every record must satisfy whatever the input.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "manifest/parse_update_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);
    DWORD version = 0;
    std::u16string description, action;
    UpdateFileList files;
    ParseUpdateManifest(text, version, description, action, files);
    for (const auto& entry : files) {
        unsigned char bytes[sizeof(UpdateFileEntry)];
        std::memcpy(bytes, entry.get(), sizeof bytes);
        for (std::size_t i = 864; i < sizeof bytes; ++i) {
            if (bytes[i] != 0) std::abort();  // the record's tail is always zero
        }
        if (entry->src[254] || entry->localdir[63] || entry->filename[63] || entry->zipped[24]) {
            std::abort();
        }
    }
    if (!action.empty() && (action.front() == u' ' || action.back() == u' ')) std::abort();
    return 0;
}
