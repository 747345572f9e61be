#include "platform/gdi/font_resolver.h"

#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "platform/core/text.h"

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

constexpr const char* kCjkFamily = "WenQuanYi Micro Hei";

bool Started() {
    static const bool started = [] {
        if (FcInit() != FcTrue) return false;
        // Hand fontconfig's caches back at exit, so that leak checks see only
        // our own allocations.
        std::atexit(FcFini);
        return true;
    }();
    return started;
}

std::optional<FontFile> FileOf(FcPattern* match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return std::nullopt;
    FontFile result;
    result.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.index = index;
    int weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch)
        result.bold = weight >= FC_WEIGHT_DEMIBOLD;
    int slant = FC_SLANT_ROMAN;
    if (FcPatternGetInteger(match, FC_SLANT, 0, &slant) == FcResultMatch)
        result.italic = slant != FC_SLANT_ROMAN;
    return result;
}

// A pattern for the family and style, with fontconfig's substitutions done.
PatternPtr MakePattern(const std::string& family, bool bold, bool italic, const char* lang) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (lang != nullptr)
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    if (FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern) != FcTrue) return nullptr;
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

std::optional<FontFile> Match(const std::string& family, bool bold, bool italic, const char* lang) {
    if (!Started()) return std::nullopt;
    PatternPtr pattern = MakePattern(family, bold, italic, lang);
    if (!pattern) return std::nullopt;
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch) return std::nullopt;
    return FileOf(match.get());
}

}  // namespace

// The Windows dialog faces are narrow; Liberation Sans has Arial's metrics,
// so texts laid out for them fit their controls. Without it fontconfig's
// substitution falls back to the default sans-serif face.
constexpr const char* kDialogFamily = "Liberation Sans";

std::string FamilyForFaceName(std::u16string_view faceName) {
    const std::u16string name = ToLowerCase(TrimWhiteSpace(faceName));
    struct Mapping {
        std::u16string_view windowsName;
        const char* family;
    };
    static constexpr Mapping kMappings[] = {
        {u"", "sans-serif"},
        {u"ms shell dlg", kDialogFamily},
        {u"ms shell dlg 2", kDialogFamily},
        {u"ms sans serif", kDialogFamily},
        {u"microsoft sans serif", kDialogFamily},
        {u"tahoma", kDialogFamily},
        {u"arial", kDialogFamily},
        {u"verdana", kDialogFamily},
        {u"segoe ui", kDialogFamily},
        {u"system", kDialogFamily},
        {u"宋体", kCjkFamily},
        {u"新宋体", kCjkFamily},
        {u"simsun", kCjkFamily},
        {u"nsimsun", kCjkFamily},
        {u"黑体", kCjkFamily},
        {u"simhei", kCjkFamily},
        {u"微软雅黑", kCjkFamily},
        {u"microsoft yahei", kCjkFamily},
        {u"courier new", "monospace"},
        {u"courier", "monospace"},
        {u"times new roman", "serif"},
    };
    for (const Mapping& m : kMappings)
        if (name == m.windowsName) return m.family;
    return Utf16ToUtf8(TrimWhiteSpace(faceName));
}

namespace {

// The dialog family is one that the product's installation brings along.
// Found at its packaged place, it needs no fontconfig, whose start-up (its
// configuration and caches) would cost every run of the program several
// milliseconds before the first window exists. Whoever steers fontconfig
// through its environment gets fontconfig's answer.
std::optional<FontFile> PackagedDialogFont(bool bold, bool italic) {
    if (std::getenv("FONTCONFIG_FILE") != nullptr || std::getenv("FONTCONFIG_PATH") != nullptr)
        return std::nullopt;
    const char* style = bold ? (italic ? "BoldItalic" : "Bold") : (italic ? "Italic" : "Regular");
    for (const char* dir :
         {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/"}) {
        std::string path = std::string(dir) + "LiberationSans-" + style + ".ttf";
        if (::access(path.c_str(), R_OK) == 0) return FontFile{std::move(path), 0, bold, italic};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FontFile> ResolveFontFile(std::u16string_view faceName, bool bold, bool italic) {
    const std::string family = FamilyForFaceName(faceName);
    if (family == kDialogFamily) {
        if (auto packaged = PackagedDialogFont(bold, italic)) return packaged;
    }
    // The Chinese faces ask for Chinese coverage too, so that without
    // WenQuanYi another CJK font is preferred over a Latin one.
    const char* lang = family == kCjkFamily ? "zh-cn" : nullptr;
    return Match(family, bold, italic, lang);
}

const std::vector<FontFile>& FallbackFontFiles() {
    static const std::vector<FontFile> files = [] {
        std::vector<FontFile> list;
        auto add = [&list](const std::optional<FontFile>& file) {
            if (!file) return;
            for (const FontFile& known : list)
                if (known.path == file->path && known.index == file->index) return;
            list.push_back(*file);
        };
        add(Match(kCjkFamily, false, false, "zh-cn"));
        add(Match("sans-serif", false, false, "zh-cn"));
        if (!Started()) return list;
        PatternPtr pattern = MakePattern("sans-serif", false, false, nullptr);
        if (!pattern) return list;
        FcResult result = FcResultNoMatch;
        FontSetPtr sorted(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
        if (!sorted) return list;
        for (int i = 0; i < sorted->nfont; ++i) {
            PatternPtr rendered(FcFontRenderPrepare(nullptr, pattern.get(), sorted->fonts[i]));
            if (rendered) add(FileOf(rendered.get()));
        }
        return list;
    }();
    return files;
}
