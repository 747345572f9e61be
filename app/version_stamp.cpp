#include "app/version_stamp.h"

#include "app/module_dir.h"
#include "platform/core/file.h"

bool ReadVersionStamp(const std::u16string& path, DWORD& value) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return false;
    BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                     static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    // A short file simply reads fewer bytes; the rest keep their value.
    if (file.Seek(kVersionStampOffset, CFile::begin) == kVersionStampOffset) {
        (void)file.Read(bytes, sizeof bytes);
    }
    file.Close();
    value = static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
            (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return true;
}

bool WriteVersionStampAt(const std::u16string& path, DWORD version) {
    CFile file;
    if (!file.Open(path, CFile::modeWrite | CFile::typeBinary)) return false;
    const BYTE bytes[4] = {static_cast<BYTE>(version), static_cast<BYTE>(version >> 8),
                           static_cast<BYTE>(version >> 16), static_cast<BYTE>(version >> 24)};
    const bool written =
        file.Seek(kVersionStampOffset, CFile::begin) == kVersionStampOffset &&
        file.Write(bytes, sizeof bytes);
    const bool closed = file.Close();
    return written && closed;
}

bool WriteVersionStamp(DWORD version) {
    return WriteVersionStampAt(GetModuleDir() + kMainProgramFileName, version);
}
