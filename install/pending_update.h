#pragma once
// The pending-update file "update.lock": what a silent run leaves in the
// download directory so that a later silent run can install the update.
//
// Format, all numbers unsigned 32-bit little-endian, no padding:
//   0  magic 0xCBAA2041 (bytes 41 20 AA CB)
//   4  installed version at the time of writing
//   8  version the update brings
//  12  number of records
//  16  the file records, 876 bytes each, byte for byte
// Nothing follows the last record.

#include <cstddef>
#include <functional>
#include <string>

#include "app/update_state.h"
#include "manifest/update_file_entry.h"
#include "platform/core/win_types.h"

inline constexpr DWORD kPendingUpdateMagic = 0xCBAA2041;
inline constexpr char16_t kPendingUpdateFileName[] = u"update.lock";
inline constexpr std::size_t kPendingUpdateHeaderSize = 16;

// The bytes of a pending-update file for these versions and records.
[[nodiscard]] std::string PendingUpdateImage(DWORD installedVersion, DWORD serverVersion,
                                             const UpdateFileList& files);

// Writes `upgradeDir` + "update.lock" for the versions and files of `state`.
// A file already there is deleted first. The new file is written beside it
// and renamed into place, so a reader never meets a partly written one.
// False when it could not be written; then no pending-update file exists and
// the next silent run downloads the update again.
[[nodiscard]] bool WritePendingUpdate(const std::u16string& upgradeDir, const UpdateState& state);

enum class PendingUpdateResult {
    kNoFile,       // no pending-update file, or it cannot be opened
    kRejected,     // too short for magic and versions, or they do not match
    kNoFileCount,  // accepted, but too short to hold the number of records
    kStopped,      // the caller chose not to go on before the first record
    kShortRecord,  // a record was cut short; the records before it were handled
    kComplete,     // every record was handled
};

struct PendingUpdateSteps {
    // Once the file is open and the first 12 bytes were read (as many as
    // there were), before they are checked.
    std::function<void()> opened;
    // Once magic, versions and the number of records were accepted, before
    // the first record is read. Returning false stops there (kStopped).
    std::function<bool(DWORD fileCount)> accepted;
};

// Receives each record in file order, as read: its text fields need not end
// in a zero unit, so they are read with ReadSlot, which stops at the slot's end.
using PendingUpdateRecordHandler = std::function<void(const UpdateFileEntry&)>;

// Reads `upgradeDir` + "update.lock": the file is accepted only when its
// magic is right and its versions equal `installedVersion` and
// `serverVersion`; nothing of it is handled otherwise. Then the records are
// read one at a time, each with one read of its 876 bytes, and handed to
// `onRecord`; a record cut short ends the reading. The number of records is
// taken as a bound only: the file's length limits the loop, and nothing is
// reserved for the count.
[[nodiscard]] PendingUpdateResult ReadPendingUpdate(const std::u16string& upgradeDir,
                                                    DWORD installedVersion, DWORD serverVersion,
                                                    const PendingUpdateRecordHandler& onRecord,
                                                    const PendingUpdateSteps& steps = {});

// The same reading rules over any source of bytes: `read` fills up to `count`
// bytes of `buffer` and returns how many it gave, fewer only at the end.
using PendingUpdateSource = std::function<std::size_t(void* buffer, std::size_t count)>;
[[nodiscard]] PendingUpdateResult ReadPendingUpdateFrom(const PendingUpdateSource& read,
                                                        DWORD installedVersion,
                                                        DWORD serverVersion,
                                                        const PendingUpdateRecordHandler& onRecord,
                                                        const PendingUpdateSteps& steps = {});
