#include "tools/publish/release_plan.h"

#include <sys/stat.h>

#include <cstdio>
#include <set>

#include "install/install_path.h"
#include "manifest/manifest_request.h"
#include "manifest/update_file_entry.h"
#include "platform/core/text.h"
#include "tools/publish/version_argument.h"

namespace {

// What a record's slots can hold, one unit being kept for the closing zero:
// a longer value would be cut short by the updater and name something else.
constexpr std::size_t kMaxSrc = sizeof(UpdateFileEntry::src) / sizeof(char16_t) - 1;
constexpr std::size_t kMaxLocaldir = sizeof(UpdateFileEntry::localdir) / sizeof(char16_t) - 1;
constexpr std::size_t kMaxFilename = sizeof(UpdateFileEntry::filename) / sizeof(char16_t) - 1;

bool IsXmlWhiteSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Characters that XML 1.0 cannot carry at all.
bool HasForbiddenControl(std::u16string_view text, bool allowLineBreaks) {
    for (char16_t c : text) {
        if (c >= 0x20 || c == u'\t') continue;
        if (allowLineBreaks && (c == u'\r' || c == u'\n')) continue;
        return true;
    }
    return false;
}

bool HasOuterWhiteSpace(std::u16string_view text) {
    return !text.empty() && (IsXmlWhiteSpace(text.front()) || IsXmlWhiteSpace(text.back()));
}

std::string EscapeUrlSegment(const std::string& utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::u16string EscapeXml(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Line breaks of the description travel as "<br>", which the updater turns
// back into CR LF.
std::u16string DescriptionWithBreaks(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += u"<br>";
        } else if (text[i] == u'\n') {
            out += u"<br>";
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsReadableRegularFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ParseRegist(const std::string& text, bool& regist) {
    if (text.empty() || text == "false") {
        regist = false;
        return true;
    }
    if (text == "regist" || text == "true") {
        regist = true;
        return true;
    }
    return false;
}

bool PlanFile(const std::string& argument, ReleaseFile& file, std::string& error) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = argument.find(':', start);
        parts.push_back(argument.substr(start, colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    if (parts.size() > 3) {
        error = "'" + argument + "': give FILE[:LOCALDIR[:regist]], no more than two ':'";
        return false;
    }
    file.sourcePath = parts[0];
    if (file.sourcePath.empty() || !IsReadableRegularFile(file.sourcePath)) {
        error = "'" + file.sourcePath + "' is not a readable file";
        return false;
    }
    file.filename = Utf8ToUtf16(BaseName(file.sourcePath));
    if (!IsPlainFileName(file.filename) || HasOuterWhiteSpace(file.filename) ||
        HasForbiddenControl(file.filename, false)) {
        error = "'" + file.sourcePath +
                "': its name cannot be published (no quotes, control characters or "
                "white space at either end)";
        return false;
    }
    if (file.filename.size() > kMaxFilename) {
        error = "'" + file.sourcePath + "': its name is longer than " +
                std::to_string(kMaxFilename) + " characters";
        return false;
    }
    file.localdir = parts.size() > 1 ? Utf8ToUtf16(parts[1]) : u"";
    if (!file.localdir.empty() && file.localdir != kSystemDirectoryMarker &&
        (!SubdirectoryBelowInstallation(file.localdir) || HasOuterWhiteSpace(file.localdir) ||
         HasForbiddenControl(file.localdir, false))) {
        error = "'" + parts[1] +
                "' is no place to install to: give nothing, [SYSTEM] or a relative "
                "subdirectory without '..'";
        return false;
    }
    if (file.localdir.size() > kMaxLocaldir) {
        error = "'" + parts[1] + "' is longer than " + std::to_string(kMaxLocaldir) + " characters";
        return false;
    }
    if (!ParseRegist(parts.size() > 2 ? parts[2] : "", file.regist)) {
        error = "'" + parts[2] + "': the third part is 'regist' or nothing";
        return false;
    }
    return true;
}

bool IsBaseUrl(std::u16string_view url) {
    for (std::u16string_view scheme : {u"http://", u"https://"}) {
        if (url.size() > scheme.size() && url.substr(0, scheme.size()) == scheme) {
            for (char16_t c : url)
                if (c <= 0x20 || c == u'"' || c == u'<' || c == u'>' || c >= 0x7F) return false;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string VersionFolderName(DWORD version) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(version));
    return buffer;
}

bool PlanRelease(const std::vector<std::string>& args, ReleasePlan& plan, std::string& error) {
    bool haveVersion = false;
    bool haveAction = false;
    bool haveDescription = false;
    std::string baseUrl;
    std::vector<std::string> fileArgs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--no-gzip") {
            plan.gzip = false;
            continue;
        }
        const bool takesValue = arg == "--version" || arg == "--action" || arg == "--description" ||
                                arg == "--base-url" || arg == "--out";
        if (!takesValue) {
            if (arg.starts_with("--")) {
                error = "unknown option '" + arg + "'";
                return false;
            }
            fileArgs.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--version") {
            if (!ParseVersionArgument(value, plan.version) || plan.version == 0) {
                error = "'" + value + "' is no version: give 1 to 8 hexadecimal digits above 0";
                return false;
            }
            haveVersion = true;
        } else if (arg == "--action") {
            plan.action = Utf8ToUtf16(value);
            if (plan.action.empty() || plan.action != TrimWhiteSpace(plan.action) ||
                HasForbiddenControl(plan.action, false)) {
                error = "'" + value + "' is no action word (Default, UserPrompt, UpdateRightNow)";
                return false;
            }
            haveAction = true;
        } else if (arg == "--description") {
            plan.description = Utf8ToUtf16(value);
            if (HasForbiddenControl(plan.description, true)) {
                error = "the description holds control characters";
                return false;
            }
            haveDescription = true;
        } else if (arg == "--base-url") {
            baseUrl = value;
        } else {
            plan.outDir = value;
        }
    }
    if (!haveVersion || !haveAction || !haveDescription || plan.outDir.empty()) {
        error = "--version, --action, --description and --out are required";
        return false;
    }
    if (fileArgs.empty()) {
        error = "name at least one file to publish";
        return false;
    }

    plan.baseUrl = baseUrl.empty() ? UpdateServerAddress() : Utf8ToUtf16(baseUrl);
    while (!plan.baseUrl.empty() && plan.baseUrl.back() == u'/') plan.baseUrl.pop_back();
    if (!IsBaseUrl(plan.baseUrl)) {
        error = "'" + baseUrl + "' is no base address: give http://host[:port][/path]";
        return false;
    }

    std::set<std::u16string> names;
    for (const std::string& argument : fileArgs) {
        ReleaseFile file;
        if (!PlanFile(argument, file, error)) return false;
        // Every file is downloaded into one folder under its name, so two
        // files of one name would overwrite each other there.
        if (!names.insert(file.filename).second) {
            error = "two files are named '" + Utf16ToUtf8(file.filename) +
                    "': names must differ, whatever folder they are installed to";
            return false;
        }
        file.publishedName = BaseName(file.sourcePath) + (plan.gzip ? ".gz" : "");
        file.src = plan.baseUrl + u"/" + Utf8ToUtf16(VersionFolderName(plan.version)) + u"/" +
                   Utf8ToUtf16(EscapeUrlSegment(file.publishedName));
        if (file.src.size() > kMaxSrc) {
            error = "the address of '" + file.sourcePath + "' would be longer than " +
                    std::to_string(kMaxSrc) + " characters: use a shorter base address or name";
            return false;
        }
        plan.files.push_back(std::move(file));
    }
    return true;
}

std::u16string ManifestText(const ReleasePlan& plan) {
    std::u16string text = u"<?xml version=\"1.0\"?>\r\n<update>\r\n";
    text +=
        u"  <version>" + FormatText(u"%X", static_cast<unsigned>(plan.version)) + u"</version>\r\n";
    text += u"  <action>" + EscapeXml(plan.action) + u"</action>\r\n";
    text += u"  <description>" + EscapeXml(DescriptionWithBreaks(plan.description)) +
            u"</description>\r\n";
    for (const ReleaseFile& file : plan.files) {
        text += u"  <filename src=\"" + EscapeXml(file.src) + u"\"";
        if (plan.gzip) text += u" zipped=\"true\"";
        if (!file.localdir.empty()) text += u" localdir=\"" + EscapeXml(file.localdir) + u"\"";
        if (file.regist) text += u" regist=\"true\"";
        text += u">" + EscapeXml(file.filename) + u"</filename>\r\n";
    }
    text += u"</update>\r\n";
    return text;
}
