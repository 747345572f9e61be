#include "manifest/parse_update_manifest.h"

#include <new>

#include "app/version.h"
#include "platform/core/text.h"
#include "platform/xml/xml_document.h"

namespace {

std::unique_ptr<UpdateFileEntry> MakeEntry(XmlNode node) {
    auto entry = std::make_unique<UpdateFileEntry>();  // value-initialised: all zero
    CopyToSlot(entry->filename, node.text());
    XmlNamedNodeMap attributes = node.attributes();
    for (std::size_t j = 0;; ++j) {
        XmlNode attribute = attributes.item(j);
        if (!attribute) break;
        const std::u16string name = ToLowerCase(TrimWhiteSpace(attribute.nodeName()));
        const std::u16string value = TrimWhiteSpace(attribute.text());
        if (name == u"src") {
            CopyToSlot(entry->src, value);
        } else if (name == u"localdir") {
            CopyToSlot(entry->localdir, value);
        } else if (name == u"zipped") {
            CopyToSlot(entry->zipped, value);
        } else if (name == u"regist") {
            CopyToSlot(entry->regist, value);
        }
    }
    return entry;
}

void ReadDocument(XmlDocument& document, DWORD& serverVersion, std::u16string& description,
                  std::u16string& action, UpdateFileList& files) {
    if (XmlNode version = document.selectSingleNode(u"update/version")) {
        serverVersion = ParseHexVersion(version.text());
    }
    if (XmlNode node = document.selectSingleNode(u"update/action")) action = node.text();
    if (XmlNode node = document.selectSingleNode(u"update/description")) {
        description = node.text();
    }
    UpdateFileList found;
    for (int i = 0;; ++i) {
        XmlNode node = document.selectSingleNode(FormatText(u"update/filename[%d]", i));
        if (!node) break;
        if (found.size() == kMaxManifestFiles) return;  // absurd: offer none of them
        found.push_back(MakeEntry(node));
    }
    for (auto& entry : found) files.push_back(std::move(entry));
}

}  // namespace

void ParseUpdateManifest(const std::u16string& text, DWORD& serverVersion,
                         std::u16string& description, std::u16string& action,
                         UpdateFileList& files) {
    try {
        XmlDocument document;
        if (document.loadXML(text))
            ReadDocument(document, serverVersion, description, action, files);
    } catch (const std::bad_alloc&) {
        // Out of memory while reading: the fields keep what was set so far.
    }
    description = TrimWhiteSpace(ReplaceAll(description, u"<br>", u"\r\n"));
    action = TrimWhiteSpace(action);
}
