#include "install/install_update_file.h"

#include <optional>

#include "install/install_path.h"
#include "platform/core/ansi_code_page.h"
#include "platform/core/text.h"
#include "platform/fs/file_operations.h"
#include "platform/process/process_control.h"
#include "platform/process/process_start.h"

namespace {

constexpr UINT kSystemDirectoryBufferSize = 256;
// The window state SW_HIDE: registration shows no window.
constexpr UINT kHiddenWindow = 0;

std::optional<std::u16string> SystemDirectory() {
    char16_t buffer[kSystemDirectoryBufferSize];
    const UINT length = GetSystemDirectoryW(buffer, kSystemDirectoryBufferSize);
    // A directory that does not fit is not cut short into some other directory.
    if (length == 0 || length >= kSystemDirectoryBufferSize) return std::nullopt;
    return std::u16string(buffer, length);
}

std::optional<std::u16string> DestinationOf(const std::u16string& localdir,
                                            const std::u16string& filename,
                                            const std::u16string& installDir) {
    if (localdir.empty()) return installDir + filename;
    if (localdir == kSystemDirectoryMarker) {
        const std::optional<std::u16string> systemDir = SystemDirectory();
        if (!systemDir) return std::nullopt;
        return *systemDir + u"/" + filename;
    }
    const std::optional<std::u16string> subdirectory = SubdirectoryBelowInstallation(localdir);
    if (!subdirectory) return std::nullopt;
    const std::u16string directory = installDir + *subdirectory + u"/";
    // An existing directory is fine; a missing parent makes the copy fail.
    (void)CreateDirectoryW(directory.c_str(), nullptr);
    return directory + filename;
}

void Register(const std::u16string& destination) {
    // File names are case-sensitive here, so the command carries the path as
    // it is; only the test for a self-registering program ignores case.
    const std::u16string lower = ToLowerCase(destination);
    const bool selfRegistering =
        lower.size() >= 3 && lower.compare(lower.size() - 3, 3, u"exe") == 0;
    const std::u16string command =
        selfRegistering ? FormatText(u"\"%s\" /regserver", destination.c_str())
                        : FormatText(u"regsvr32 /s \"%s\" ", destination.c_str());
    const std::optional<std::string> narrow = WideCharToMultiByte(command);
    // A path the code page cannot carry could only name the wrong file.
    if (!narrow) return;
    // Registration is started, not awaited; its outcome is not noticed.
    (void)WinExec(narrow->c_str(), kHiddenWindow);
    Sleep(kRegistrationPauseMs);
}

}  // namespace

bool InstallUpdateFile(const UpdateFileEntry& entry, const std::u16string& upgradeDir,
                       const std::u16string& installDir) {
    const std::u16string filename = ReadSlot(entry.filename);
    const std::u16string localdir = ReadSlot(entry.localdir);
    if (!IsPlainFileName(filename)) return false;
    const std::optional<std::u16string> destination = DestinationOf(localdir, filename, installDir);
    if (!destination) return false;
    const std::u16string source = upgradeDir + filename;

    // There may be no file at the destination yet.
    (void)SetFileAttributesW(destination->c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileW(source.c_str(), destination->c_str(), FALSE)) return false;

    if (ToLowerCase(TrimWhiteSpace(ReadSlot(entry.regist))) == u"true") Register(*destination);

    // A downloaded file that cannot be deleted stays behind unnoticed.
    (void)DeleteFileW(source.c_str());
    return true;
}
