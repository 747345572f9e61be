#include "install/pending_update.h"

#include <bit>
#include <cstring>

#include "platform/core/file.h"
#include "platform/fs/file_operations.h"

// Records are stored as they lie in memory; the file format is little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

void AppendNumber(std::string& out, DWORD value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

DWORD NumberAt(const unsigned char* bytes) {
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

}  // namespace

std::string PendingUpdateImage(DWORD installedVersion, DWORD serverVersion,
                               const UpdateFileList& files) {
    std::string image;
    image.reserve(kPendingUpdateHeaderSize + files.size() * sizeof(UpdateFileEntry));
    AppendNumber(image, kPendingUpdateMagic);
    AppendNumber(image, installedVersion);
    AppendNumber(image, serverVersion);
    AppendNumber(image, static_cast<DWORD>(files.size()));
    for (const auto& entry : files) {
        image.append(reinterpret_cast<const char*>(entry.get()), sizeof(UpdateFileEntry));
    }
    return image;
}

bool WritePendingUpdate(const std::u16string& upgradeDir, const UpdateState& state) {
    const std::u16string path = upgradeDir + kPendingUpdateFileName;
    // An older file must not outlive a failed write: it could describe other files.
    (void)DeleteFileW(path.c_str());
    return ReplaceFileContent(
        path.c_str(), PendingUpdateImage(state.installedVersion, state.serverVersion, state.files));
}

PendingUpdateResult ReadPendingUpdateFrom(const PendingUpdateSource& read, DWORD installedVersion,
                                          DWORD serverVersion,
                                          const PendingUpdateRecordHandler& onRecord,
                                          const PendingUpdateSteps& steps) {
    unsigned char header[12] = {};
    const std::size_t headerRead = read(header, sizeof header);
    if (steps.opened) steps.opened();
    if (headerRead < sizeof header || NumberAt(header) != kPendingUpdateMagic ||
        NumberAt(header + 4) != installedVersion || NumberAt(header + 8) != serverVersion) {
        return PendingUpdateResult::kRejected;
    }
    unsigned char count[4] = {};
    if (read(count, sizeof count) < sizeof count) return PendingUpdateResult::kNoFileCount;
    const DWORD fileCount = NumberAt(count);
    if (steps.accepted && !steps.accepted(fileCount)) return PendingUpdateResult::kStopped;

    UpdateFileEntry record{};
    for (DWORD i = 0; i < fileCount; ++i) {
        if (read(&record, sizeof record) < sizeof record) return PendingUpdateResult::kShortRecord;
        onRecord(record);
    }
    return PendingUpdateResult::kComplete;
}

PendingUpdateResult ReadPendingUpdate(const std::u16string& upgradeDir, DWORD installedVersion,
                                      DWORD serverVersion,
                                      const PendingUpdateRecordHandler& onRecord,
                                      const PendingUpdateSteps& steps) {
    CFile file;
    if (!file.Open(upgradeDir + kPendingUpdateFileName,
                   CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        return PendingUpdateResult::kNoFile;
    }
    const PendingUpdateResult result = ReadPendingUpdateFrom(
        [&file](void* buffer, std::size_t count) -> std::size_t {
            return file.Read(buffer, static_cast<UINT>(count));
        },
        installedVersion, serverVersion, onRecord, steps);
    file.Close();
    return result;
}
