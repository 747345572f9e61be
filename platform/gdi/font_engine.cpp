#include "platform/gdi/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/core/text.h"
#include "platform/gdi/font_resolver.h"

namespace {

constexpr int kDefaultEmPixels = 12;
constexpr int kLargestEmPixels = 1000;
// Glyph images kept before the cache starts over; images in use stay alive
// through their shared pointers.
constexpr std::size_t kGlyphCacheLimit = 8192;

std::atomic<bool> fontWorkStarted{false};

// The face name up to its terminator, or all 32 units when a caller's record
// has none.
std::u16string_view FaceNameOf(const LOGFONTW& description) {
    const auto* begin = description.lfFaceName;
    return std::u16string_view(begin, std::find(begin, begin + LF_FACESIZE, u'\0') - begin);
}

struct LoadedFace {
    FontFile file;
    FT_Face face = nullptr;
};

struct FontKey {
    std::u16string faceName;
    LONG height = 0;
    bool bold = false;
    bool italic = false;
    friend bool operator<(const FontKey& a, const FontKey& b) {
        return std::tie(a.faceName, a.height, a.bold, a.italic) <
               std::tie(b.faceName, b.height, b.bold, b.italic);
    }
};

struct FontInstance {
    int faceId = -1;  // -1: no font could be loaded
    int emPixels = kDefaultEmPixels;
    bool wantBold = false;
    bool wantItalic = false;
    FontMetrics metrics;
};

struct GlyphKey {
    int faceId;
    int emPixels;
    bool embolden;
    bool oblique;
    FT_UInt index;
    friend bool operator<(const GlyphKey& a, const GlyphKey& b) {
        return std::tie(a.faceId, a.emPixels, a.embolden, a.oblique, a.index) <
               std::tie(b.faceId, b.emPixels, b.embolden, b.oblique, b.index);
    }
};

struct CachedGlyph {
    std::shared_ptr<const GlyphImage> image;
    int advance = 0;
};

struct Choice {
    int faceId = -1;
    FT_UInt index = 0;
};

class Engine {
  public:
    ~Engine() {
        for (LoadedFace& f : faces_)
            if (f.face != nullptr) FT_Done_Face(f.face);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }

    FontMetrics Measure(const LOGFONTW& description) {
        std::lock_guard guard(lock_);
        return Instance(description).metrics;
    }

    TextRun Layout(const LOGFONTW& description, std::u16string_view text) {
        std::lock_guard guard(lock_);
        return LayoutLocked(Instance(description), text);
    }

  private:
    bool Start() {
        if (library_ != nullptr) return true;
        if (libraryFailed_) return false;
        fontWorkStarted = true;
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            libraryFailed_ = true;
            return false;
        }
        return true;
    }

    // The id of the opened face, or -1 when the file cannot be read.
    int OpenFace(const FontFile& file) {
        const std::string key = file.path + '#' + std::to_string(file.index);
        if (auto it = faceIds_.find(key); it != faceIds_.end()) return it->second;
        FT_Face face = nullptr;
        int id = -1;
        if (FT_New_Face(library_, file.path.c_str(), file.index, &face) == 0) {
            if (FT_IS_SCALABLE(face)) {
                id = static_cast<int>(faces_.size());
                faces_.push_back(LoadedFace{file, face});
            } else {
                FT_Done_Face(face);
            }
        }
        faceIds_[key] = id;
        return id;
    }

    static int Scaled(long fontUnits, int emPixels, FT_UShort unitsPerEm) {
        return static_cast<int>(std::lround(static_cast<double>(fontUnits) * emPixels /
                                            std::max<FT_UShort>(unitsPerEm, 1)));
    }

    // Ascent and descent in font units, from the OS/2 table when the face has
    // one, because those are the values the system's own metrics use.
    static void VerticalExtent(FT_Face face, long* ascent, long* descent) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            *ascent = os2->usWinAscent;
            *descent = os2->usWinDescent;
            return;
        }
        *ascent = face->ascender;
        *descent = -face->descender;
        if (*ascent + *descent <= 0) {
            *ascent = face->units_per_EM * 4 / 5;
            *descent = face->units_per_EM / 5;
        }
    }

    const FontInstance& Instance(const LOGFONTW& description) {
        FontKey key;
        key.faceName = ToLowerCase(TrimWhiteSpace(FaceNameOf(description)));
        key.height = description.lfHeight;
        key.bold = description.lfWeight >= 600;
        key.italic = description.lfItalic != 0;
        if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

        FontInstance font;
        font.wantBold = key.bold;
        font.wantItalic = key.italic;
        font.metrics.weight = key.bold ? FW_BOLD : FW_NORMAL;
        font.metrics.italic = key.italic;
        if (Start()) {
            if (auto file = ResolveFontFile(FaceNameOf(description), key.bold, key.italic))
                font.faceId = OpenFace(*file);
            // The fallback list costs a font search; only a face that did not
            // open needs it.
            if (font.faceId < 0) {
                for (const FontFile& file : FallbackFontFiles()) {
                    font.faceId = OpenFace(file);
                    if (font.faceId >= 0) break;
                }
            }
        }
        if (font.faceId >= 0) {
            FT_Face face = faces_[font.faceId].face;
            long ascent = 0;
            long descent = 0;
            VerticalExtent(face, &ascent, &descent);
            if (key.height < 0) {
                font.emPixels = -static_cast<int>(std::max<LONG>(key.height, -kLargestEmPixels));
            } else if (key.height > 0) {
                const double em =
                    static_cast<double>(std::min<LONG>(key.height, kLargestEmPixels)) *
                    face->units_per_EM / (ascent + descent);
                font.emPixels = std::max(1, static_cast<int>(std::lround(em)));
            }
            FontMetrics& m = font.metrics;
            m.ascent = Scaled(ascent, font.emPixels, face->units_per_EM);
            m.descent = Scaled(descent, font.emPixels, face->units_per_EM);
            if (key.height > 0) m.descent = static_cast<int>(key.height) - m.ascent;
            m.height = m.ascent + m.descent;
            m.internalLeading = std::max(0, m.height - font.emPixels);
            m.maxCharWidth = Scaled(face->max_advance_width, font.emPixels, face->units_per_EM);
            const TextRun letters =
                LayoutLocked(font, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
            m.aveCharWidth = (letters.width / 26 + 1) / 2;
        }
        return fonts_.emplace(std::move(key), std::move(font)).first->second;
    }

    Choice Choose(const FontInstance& font, char32_t codePoint) {
        const FT_UInt index = FT_Get_Char_Index(faces_[font.faceId].face, codePoint);
        if (index != 0) return Choice{font.faceId, index};
        if (auto it = fallback_.find(codePoint); it != fallback_.end()) {
            if (it->second.faceId >= 0) return it->second;
            return Choice{font.faceId, 0};
        }
        Choice choice;
        for (const FontFile& file : FallbackFontFiles()) {
            const int id = OpenFace(file);
            if (id < 0) continue;
            const FT_UInt found = FT_Get_Char_Index(faces_[id].face, codePoint);
            if (found != 0) {
                choice = Choice{id, found};
                break;
            }
        }
        fallback_[codePoint] = choice;
        if (choice.faceId < 0) return Choice{font.faceId, 0};  // the face's own missing-glyph box
        return choice;
    }

    const CachedGlyph& Glyph(const FontInstance& font, Choice choice) {
        const FontFile& file = faces_[choice.faceId].file;
        const GlyphKey key{choice.faceId, font.emPixels, font.wantBold && !file.bold,
                           font.wantItalic && !file.italic, choice.index};
        if (auto it = glyphs_.find(key); it != glyphs_.end()) return it->second;
        if (glyphs_.size() >= kGlyphCacheLimit) glyphs_.clear();
        CachedGlyph cached = Render(key);
        return glyphs_.emplace(key, std::move(cached)).first->second;
    }

    CachedGlyph Render(const GlyphKey& key) {
        CachedGlyph result;
        FT_Face face = faces_[key.faceId].face;
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(key.emPixels)) != 0) return result;
        if (key.oblique) {
            FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
            FT_Set_Transform(face, &shear, nullptr);
        } else {
            FT_Set_Transform(face, nullptr, nullptr);
        }
        if (FT_Load_Glyph(face, key.index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0)
            return result;
        FT_GlyphSlot slot = face->glyph;
        if (key.embolden) FT_GlyphSlot_Embolden(slot);
        result.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return result;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            return result;
        auto image = std::make_shared<GlyphImage>();
        image->width = static_cast<int>(bitmap.width);
        image->height = static_cast<int>(bitmap.rows);
        image->left = slot->bitmap_left;
        image->top = slot->bitmap_top;
        image->coverage.resize(static_cast<std::size_t>(image->width) * image->height);
        for (int row = 0; row < image->height; ++row) {
            // A negative pitch means the rows are stored bottom-up.
            const unsigned char* source =
                bitmap.pitch >= 0
                    ? bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch
                    : bitmap.buffer +
                          static_cast<std::ptrdiff_t>(image->height - 1 - row) * -bitmap.pitch;
            std::copy(source, source + image->width,
                      image->coverage.begin() + static_cast<std::ptrdiff_t>(row) * image->width);
        }
        result.image = std::move(image);
        return result;
    }

    TextRun LayoutLocked(const FontInstance& font, std::u16string_view text) {
        TextRun run;
        run.advances.assign(text.size(), 0);
        if (font.faceId < 0) return run;
        int pen = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t codePoint = text[i];
            const std::size_t first = i;
            if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() &&
                text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
                codePoint = 0xFFFD;
            }
            const CachedGlyph& glyph = Glyph(font, Choose(font, codePoint));
            run.glyphs.push_back(PlacedGlyph{glyph.image, pen, first});
            run.advances[first] = glyph.advance;
            pen += glyph.advance;
        }
        run.width = pen;
        return run;
    }

    std::mutex lock_;
    FT_Library library_ = nullptr;
    bool libraryFailed_ = false;
    std::vector<LoadedFace> faces_;
    std::map<std::string, int> faceIds_;
    std::map<FontKey, FontInstance> fonts_;
    std::map<GlyphKey, CachedGlyph> glyphs_;
    std::unordered_map<char32_t, Choice> fallback_;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

}  // namespace

FontMetrics MeasureFont(const LOGFONTW& font) {
    return TheEngine().Measure(font);
}

TextRun LayoutText(const LOGFONTW& font, std::u16string_view text) {
    return TheEngine().Layout(font, text);
}

bool FontWorkStarted() {
    return fontWorkStarted;
}
