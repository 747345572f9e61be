// make: builds a release folder that any static web server can serve as the
// update server: DIR/<version>/ holds the files, DIR/cs/update2010.asp the
// manifest. The manifest is written last, so a server that already serves DIR
// never offers files that are not there yet.

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/core/ansi_code_page.h"
#include "platform/core/text.h"
#include "tools/publish/commands.h"
#include "tools/publish/exit_codes.h"
#include "tools/publish/release_plan.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunk = 64 * 1024;

std::string SystemError(int error) {
    return std::strerror(error);
}

// Copies `source` to `target`, compressed with gzip when asked. False with a
// message when anything could not be read or written.
bool WriteFileCopy(const std::string& source, const std::string& target, bool gzip,
                   std::string& error) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (in == nullptr) {
        error = "cannot read " + source + ": " + SystemError(errno);
        return false;
    }
    std::FILE* plainOut = nullptr;
    gzFile gzOut = nullptr;
    if (gzip) {
        gzOut = gzopen(target.c_str(), "wb9");
    } else {
        plainOut = std::fopen(target.c_str(), "wb");
    }
    if (gzOut == nullptr && plainOut == nullptr) {
        error = "cannot create " + target + ": " + SystemError(errno);
        std::fclose(in);
        return false;
    }
    std::vector<char> buffer(kChunk);
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        if (got > 0) {
            const bool written = gzip ? gzwrite(gzOut, buffer.data(), static_cast<unsigned>(got)) ==
                                            static_cast<int>(got)
                                      : std::fwrite(buffer.data(), 1, got, plainOut) == got;
            if (!written) {
                error = "cannot write " + target + " (is the disk full?)";
                ok = false;
                break;
            }
        }
        if (got < buffer.size()) {
            if (std::ferror(in)) {
                error = "cannot read " + source + ": " + SystemError(errno);
                ok = false;
            }
            break;
        }
    }
    std::fclose(in);
    const bool closed = gzip ? gzclose(gzOut) == Z_OK : std::fclose(plainOut) == 0;
    if (ok && !closed) {
        error = "cannot finish " + target + " (is the disk full?)";
        ok = false;
    }
    return ok;
}

// Writes beside `target`, then renames into place: a reader sees the old
// file or the complete new one, never a part.
bool ReplaceFile(const std::string& target, const std::string& bytes, std::string& error) {
    const std::string temporary = target + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) {
        error = "cannot create " + temporary + ": " + SystemError(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        error = "cannot write " + temporary + " (is the disk full?)";
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + target + ": " + SystemError(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool MakeDirectories(const fs::path& path, std::string& error) {
    std::error_code code;
    fs::create_directories(path, code);
    if (code || !fs::is_directory(path)) {
        error = "cannot create the folder " + path.string() +
                (code ? ": " + code.message() : std::string());
        return false;
    }
    return true;
}

bool PublishFile(const ReleasePlan& plan, const ReleaseFile& file, const fs::path& versionDir,
                 std::string& error) {
    const std::string target = (versionDir / file.publishedName).string();
    const std::string temporary = target + ".tmp";
    if (!WriteFileCopy(file.sourcePath, temporary, plan.gzip, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + target + ": " + SystemError(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunMakeCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    ReleasePlan plan;
    std::string error;
    if (!PlanRelease(args, plan, error)) {
        err << "tevorin-publish: " << error << "\n"
            << "usage: tevorin-publish make --version HEX --action WORD --description TEXT\n"
               "         [--base-url URL] [--no-gzip] --out DIR FILE[:LOCALDIR[:regist]]...\n";
        return kExitError;
    }
    // The updater reads the manifest's bytes in its ANSI code page, so the
    // manifest is written in the same one.
    const std::optional<std::string> manifestBytes = WideCharToMultiByte(ManifestText(plan));
    if (!manifestBytes) {
        err << "tevorin-publish: the manifest holds characters that the code page of this "
               "system (TEVORIN_ACP or the locale) cannot write\n";
        return kExitError;
    }

    const fs::path outDir(plan.outDir);
    const fs::path versionDir = outDir / VersionFolderName(plan.version);
    const fs::path manifestDir = outDir / "cs";
    if (!MakeDirectories(versionDir, error) || !MakeDirectories(manifestDir, error)) {
        err << "tevorin-publish: " << error << "\n";
        return kExitError;
    }
    for (const ReleaseFile& file : plan.files) {
        if (!PublishFile(plan, file, versionDir, error)) {
            err << "tevorin-publish: " << error << "\n";
            return kExitError;
        }
    }
    const std::string manifestPath = (manifestDir / "update2010.asp").string();
    if (!ReplaceFile(manifestPath, *manifestBytes, error)) {
        err << "tevorin-publish: " << error << "\n";
        return kExitError;
    }

    out << "version " << Utf16ToUtf8(FormatText(u"%X", static_cast<unsigned>(plan.version)))
        << ", action " << Utf16ToUtf8(plan.action) << ", " << plan.files.size() << " file"
        << (plan.files.size() == 1 ? "" : "s") << "\n";
    for (const ReleaseFile& file : plan.files) {
        out << "  " << Utf16ToUtf8(file.src) << " -> "
            << (file.localdir.empty() ? std::string(".") : Utf16ToUtf8(file.localdir)) << "/"
            << Utf16ToUtf8(file.filename) << (file.regist ? " (registered)" : "") << "\n";
    }
    out << "manifest " << manifestPath << "\n";
    return kExitOk;
}
