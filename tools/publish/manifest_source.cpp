#include "tools/publish/manifest_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "manifest/manifest_body_text.h"

bool IsManifestUrl(const std::string& argument) {
    return argument.starts_with("http://") || argument.starts_with("https://");
}

bool ReadManifestFile(const std::string& path, std::u16string& text, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    ManifestBodyText body;
    char buffer[ManifestBodyText::kChunkBytes];
    bool ok = true;
    while (true) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            ok = false;
            break;
        }
        if (got == 0) break;
        body.Append(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    close(fd);
    if (!ok) return false;
    body.Finish();
    text = std::move(body.Text());
    return true;
}
