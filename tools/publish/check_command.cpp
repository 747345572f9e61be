// check FILE|URL: what the updater would make of a manifest.

#include "manifest/fetch_url_text.h"
#include "manifest/parse_update_manifest.h"
#include "platform/core/text.h"
#include "tools/publish/commands.h"
#include "tools/publish/exit_codes.h"
#include "tools/publish/json_text.h"
#include "tools/publish/manifest_source.h"

namespace {

struct ParsedManifest {
    DWORD serverVersion = 0;
    std::u16string description;
    std::u16string action;
    UpdateFileList files;
};

std::string ManifestJson(const ParsedManifest& m) {
    std::string json = "{\"serverVersion\":" +
                       JsonString(FormatText(u"%X", static_cast<unsigned>(m.serverVersion))) +
                       ",\"action\":" + JsonString(m.action) +
                       ",\"description\":" + JsonString(m.description) + ",\"files\":[";
    for (std::size_t i = 0; i < m.files.size(); ++i) {
        const UpdateFileEntry& e = *m.files[i];
        if (i > 0) json += ",";
        json += "{\"filename\":" + JsonString(ReadSlot(e.filename)) +
                ",\"src\":" + JsonString(ReadSlot(e.src)) +
                ",\"localdir\":" + JsonString(ReadSlot(e.localdir)) +
                ",\"zipped\":" + JsonString(ReadSlot(e.zipped)) +
                ",\"regist\":" + JsonString(ReadSlot(e.regist)) + "}";
    }
    json += "]}";
    return json;
}

}  // namespace

int RunCheckCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].empty()) {
        err << "usage: tevorin-publish check FILE|URL\n";
        return kExitError;
    }
    const std::string& source = args[0];
    std::u16string text;
    if (IsManifestUrl(source)) {
        text = FetchUrlText(Utf8ToUtf16(source));
        if (text.empty())
            err << "tevorin-publish: nothing could be fetched from " << source << "\n";
    } else {
        std::string error;
        if (!ReadManifestFile(source, text, error)) {
            err << "tevorin-publish: " << error << "\n";
            return kExitError;
        }
    }

    ParsedManifest manifest;
    ParseUpdateManifest(text, manifest.serverVersion, manifest.description, manifest.action,
                        manifest.files);
    out << ManifestJson(manifest) << "\n";

    if (manifest.serverVersion != 0 && !manifest.files.empty()) return kExitOk;
    err << "tevorin-publish: the manifest offers no update ("
        << (manifest.serverVersion == 0 ? "no version above 0" : "no files") << ")\n";
    return kExitNoUpdate;
}
