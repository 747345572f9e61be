// Feeds arbitrary bytes to the pending-update reader as the content of an
// update.lock. The versions it is read for are taken from the input's own
// header half of the time, so that the records behind an accepted header are
// reached too.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "install/pending_update.h"

namespace {

DWORD NumberAt(const std::uint8_t* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DWORD installed = 0xC1A2B;
    DWORD server = 0xC1A2C;
    if (size >= 12 && (data[size - 1] & 1) == 0) {
        installed = NumberAt(data + 4);
        server = NumberAt(data + 8);
    }
    std::size_t offset = 0;
    std::size_t textUnits = 0;
    (void)ReadPendingUpdateFrom(
        [&](void* buffer, std::size_t count) {
            const std::size_t n = count < size - offset ? count : size - offset;
            if (n > 0) std::memcpy(buffer, data + offset, n);
            offset += n;
            return n;
        },
        installed, server,
        [&](const UpdateFileEntry& entry) {
            textUnits += ReadSlot(entry.src).size() + ReadSlot(entry.localdir).size() +
                         ReadSlot(entry.filename).size() + ReadSlot(entry.zipped).size() +
                         ReadSlot(entry.regist).size();
        },
        {});
    // Every slot is bounded, so no record can yield more text than it holds.
    if (textUnits > (offset / sizeof(UpdateFileEntry)) * (255 + 64 + 64 + 25 + 25)) __builtin_trap();
    return 0;
}
