#include "tools/rescomp/cpp_writer.h"

#include <cstdio>
#include <sstream>

namespace {

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08Xu", static_cast<unsigned>(value));
    return buffer;
}

// Octal escapes take at most three digits, so no following character can be
// swallowed by them (unlike \x).
void AppendEscapedByte(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\%03o", value);
    out += buffer;
}

bool IsPlainAscii(std::uint32_t c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?'; }

std::string NarrowLiteral(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (IsPlainAscii(c)) {
            out += static_cast<char>(c);
        } else {
            AppendEscapedByte(out, c);
        }
    }
    return out + "\"";
}

void WriteBytes(std::ostringstream& out, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    out << "alignas(4) const std::uint8_t " << name << "[] = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 16 == 0) out << "\n   ";
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, " 0x%02X,", bytes[i]);
        out << buffer;
    }
    out << "\n};\n\n";
}

std::string BytesName(const char* kind, int id) { return std::string("k") + kind + std::to_string(id); }

void WriteDialog(std::ostringstream& out, const DialogTemplate& d) {
    out << "    {\n";
    out << "        DialogTemplate dialog;\n";
    out << "        dialog.id = " << d.id << ";\n";
    out << "        dialog.caption = " << Utf16Literal(d.caption) << ";\n";
    out << "        dialog.fontFace = " << Utf16Literal(d.fontFace) << ";\n";
    out << "        dialog.fontPointSize = " << d.fontPointSize << ";\n";
    out << "        dialog.fontWeight = " << d.fontWeight << ";\n";
    out << "        dialog.fontItalic = " << (d.fontItalic ? "true" : "false") << ";\n";
    out << "        dialog.fontCharset = " << static_cast<int>(d.fontCharset) << ";\n";
    out << "        dialog.style = " << Hex(d.style) << ";\n";
    out << "        dialog.exStyle = " << Hex(d.exStyle) << ";\n";
    out << "        dialog.x = " << d.x << ";\n";
    out << "        dialog.y = " << d.y << ";\n";
    out << "        dialog.cx = " << d.cx << ";\n";
    out << "        dialog.cy = " << d.cy << ";\n";
    for (const DialogControl& c : d.controls) {
        out << "        dialog.controls.push_back(Control(" << c.id << ", " << Utf16Literal(c.className)
            << ", " << Utf16Literal(c.text) << ", " << c.imageResourceId.value_or(0) << ", " << c.x
            << ", " << c.y << ", " << c.cx << ", " << c.cy << ", " << Hex(c.style) << ", "
            << Hex(c.exStyle) << "));\n";
    }
    out << "        table.dialogs.push_back(std::move(dialog));\n";
    out << "    }\n";
}

void WriteVersionInfo(std::ostringstream& out, const VersionInfo& v) {
    auto parts = [](const std::array<WORD, 4>& p) {
        return "{" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) +
               ", " + std::to_string(p[3]) + "}";
    };
    out << "    table.hasVersionInfo = true;\n";
    out << "    table.versionInfo.fileVersion = " << parts(v.fileVersion) << ";\n";
    out << "    table.versionInfo.productVersion = " << parts(v.productVersion) << ";\n";
    out << "    table.versionInfo.fileFlagsMask = " << Hex(v.fileFlagsMask) << ";\n";
    out << "    table.versionInfo.fileFlags = " << Hex(v.fileFlags) << ";\n";
    out << "    table.versionInfo.fileOS = " << Hex(v.fileOS) << ";\n";
    out << "    table.versionInfo.fileType = " << Hex(v.fileType) << ";\n";
    out << "    table.versionInfo.fileSubtype = " << Hex(v.fileSubtype) << ";\n";
    for (const VersionStringTable& t : v.stringTables) {
        out << "    {\n        VersionStringTable strings;\n";
        out << "        strings.languageAndCodePage = " << Utf16Literal(t.languageAndCodePage) << ";\n";
        for (const auto& [key, value] : t.values) {
            out << "        strings.values.emplace_back(" << Utf16Literal(key) << ", "
                << Utf16Literal(value) << ");\n";
        }
        out << "        table.versionInfo.stringTables.push_back(std::move(strings));\n    }\n";
    }
    for (const auto& [language, codePage] : v.translations) {
        out << "    table.versionInfo.translations.emplace_back(" << language << ", " << codePage << ");\n";
    }
}

}  // namespace

std::string Utf16Literal(std::u16string_view text) {
    std::string out = "u\"";
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        char buffer[16];
        if (IsPlainAscii(c)) {
            out += static_cast<char>(c);
        } else if (c == '"' || c == '\\' || c == '?') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0xA0 || (c >= 0xD800 && c <= 0xDFFF)) {
            // Control characters and lone surrogates cannot be universal
            // character names; a hex escape ended by a string break keeps
            // the next character out of it.
            std::snprintf(buffer, sizeof buffer, "\\x%X\" u\"", c);
            out += buffer;
        } else if (c <= 0xFFFF) {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", c);
            out += buffer;
        } else {
            std::snprintf(buffer, sizeof buffer, "\\U%08X", c);
            out += buffer;
        }
    }
    return out + "\"";
}

std::string WriteResourceTableSource(const ResourceScript& script, const CppWriterOptions& options) {
    std::ostringstream out;
    out << "// Generated by rescomp from " << options.scriptName
        << "; do not edit.\n// The build writes it again whenever the script, its headers or the files "
           "it names change.\n\n";
    out << "#include <cstdint>\n#include <string_view>\n#include <utility>\n\n";
    if (!options.headerToInclude.empty()) out << "#include \"" << options.headerToInclude << "\"\n";
    out << "#include \"platform/resource/resource_table.h\"\n\nnamespace {\n\n";

    for (const ResourceFile& file : script.bitmaps) WriteBytes(out, BytesName("Bitmap", file.id), file.bytes);
    for (const ResourceFile& file : script.icons) WriteBytes(out, BytesName("Icon", file.id), file.bytes);
    if (script.manifest) {
        const std::string text(script.manifest->bytes.begin(), script.manifest->bytes.end());
        out << "constexpr std::string_view kManifest{" << NarrowLiteral(text) << ", " << text.size()
            << "};\n\n";
    }

    out << "DialogControl Control(int id, const char16_t* className, const char16_t* text, int imageId,\n"
           "                      short x, short y, short cx, short cy, DWORD style, DWORD exStyle) {\n"
           "    DialogControl control;\n"
           "    control.id = id;\n"
           "    control.className = className;\n"
           "    control.text = text;\n"
           "    if (imageId != 0) control.imageResourceId = imageId;\n"
           "    control.x = x;\n    control.y = y;\n    control.cx = cx;\n    control.cy = cy;\n"
           "    control.style = style;\n    control.exStyle = exStyle;\n"
           "    return control;\n}\n\n";

    out << "ResourceTable BuildTable() {\n    ResourceTable table;\n";
    for (const DialogTemplate& dialog : script.dialogs) WriteDialog(out, dialog);
    for (const ResourceFile& file : script.bitmaps) {
        out << "    table.bitmaps.push_back(BinaryResource{" << file.id << ", "
            << BytesName("Bitmap", file.id) << "});\n";
    }
    for (const ResourceFile& file : script.icons) {
        out << "    table.icons.push_back(BinaryResource{" << file.id << ", "
            << BytesName("Icon", file.id) << "});\n";
    }
    if (script.manifest) out << "    table.manifest = kManifest;\n";
    if (script.versionInfo) WriteVersionInfo(out, *script.versionInfo);
    out << "    return table;\n}\n\n}  // namespace\n\n";

    out << "const ResourceTable& " << options.functionName << "() {\n"
        << "    static const ResourceTable table = BuildTable();\n"
        << "    return table;\n}\n";
    return out.str();
}
