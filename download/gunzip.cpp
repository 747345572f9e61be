#include "download/gunzip.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>

#include "platform/core/ansi_code_page.h"
#include "platform/fs/file_system_name.h"

namespace {

constexpr unsigned kCopyBufferSize = 16384;

// The name that the narrow-path file functions get for a UTF-16 path: the
// path in the ANSI code page, as those functions read it.
std::optional<std::string> NarrowPath(const std::u16string& path) {
    const std::optional<std::string> ansi = WideCharToMultiByte(path);
    if (!ansi) return std::nullopt;
    return AnsiPathToFileSystemName(*ansi);
}

}  // namespace

bool GunzipFile(std::u16string source, std::u16string destination) {
    const std::optional<std::string> narrowSource = NarrowPath(source);
    if (!narrowSource) return false;
    gzFile gzipStream = gzopen(narrowSource->c_str(), "rb");
    if (gzipStream == nullptr) return false;

    const std::optional<std::string> narrowDestination = NarrowPath(destination);
    std::FILE* outputStream =
        narrowDestination ? std::fopen(narrowDestination->c_str(), "wb") : nullptr;
    if (outputStream == nullptr) {
        // The expansion has failed already; a close error adds nothing.
        (void)gzclose(gzipStream);
        return false;
    }
    // Only a regular file that this call created or truncated is removed
    // after a failure, never a device or other special file.
    struct stat info {};
    const bool removable = fstat(fileno(outputStream), &info) == 0 && S_ISREG(info.st_mode);

    const bool ok = CopyGzipStream(gzipStream, outputStream);
    if (!ok && removable) (void)unlink(narrowDestination->c_str());
    return ok;
}

bool CopyGzipStream(gzFile gzipStream, std::FILE* outputStream) {
    const std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
    bool ok = true;
    for (;;) {
        const int n = gzread(gzipStream, buffer.get(), kCopyBufferSize);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        const std::size_t count = static_cast<std::size_t>(n);
        if (std::fwrite(buffer.get(), 1, count, outputStream) < count) ok = false;
    }
    if (std::fclose(outputStream) != 0) ok = false;
    if (gzclose(gzipStream) != Z_OK) ok = false;
    return ok;
}
