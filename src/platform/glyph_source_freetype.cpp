// glyph_source_freetype.cpp - the lyric font on Linux: fontconfig finds "微软雅黑"
// or a CJK stand-in (WenQuanYi Micro Hei), FreeType renders it at 24 pixels, and
// the bitmaps are given the GGO_GRAY8_BITMAP form (65 levels, rows padded to 4).
//
// Characters the lyric face lacks come from fallback faces: for each text,
// FcFontSort orders the installed fonts by how well they cover the text's missing
// characters (then by likeness to the lyric family), and each character takes the
// first scalable, non-colour font of that order that has it.  The library, the
// lyric face and every fallback face once opened stay open for the process.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/glyph_source.h"

namespace platform {

namespace {

constexpr int kPixelSize = 24;
constexpr size_t kMaxFallbackFaces = 32;       // faces kept open at most
constexpr size_t kMaxRememberedChoices = 1 << 16;  // fallback choices remembered across texts

struct FontFile {
    std::string file;
    std::string family;
    int index = 0;
};

// The font file of the first family fontconfig really has.
FontFile FindLyricFontFile() {
    const char* families[] = {"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91",  // 微软雅黑
                              "Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "DejaVu Sans"};
    FontFile found;
    if (!FcInit()) return found;
    for (const char* family : families) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
        if (!pattern) continue;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        if (match) {
            FcChar8* matchedFamily = nullptr;
            FcChar8* file = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
                FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                std::strcmp(reinterpret_cast<const char*>(matchedFamily), family) == 0) {
                found.file = reinterpret_cast<const char*>(file);
                found.family = family;
                // Only the first face of a collection is the family asked for.
                found.index = 0;
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        if (!found.file.empty()) break;
    }
    return found;
}

// A lone surrogate, or a value past Unicode, is no character of any font.
bool IsCharacter(uint32_t cp) { return cp < 0x110000 && (cp < 0xD800 || cp > 0xDFFF); }

class FreeTypeGlyphSource final : public GlyphSource {
public:
    FT_Library library = nullptr;
    FT_Face face = nullptr;  // the lyric face
    std::string family;
    int32_t ascent = 0, height = 0;

    ~FreeTypeGlyphSource() override {
        for (Fallback& f : fallbacks)
            if (f.face) FT_Done_Face(f.face);
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    int32_t Ascent() const override { return ascent; }
    int32_t LineHeight() const override { return height; }

    void PrepareText(const uint32_t* codePoints, size_t count) override {
        std::vector<uint32_t> missing;
        for (size_t i = 0; i < count; ++i) {
            const uint32_t cp = codePoints[i];
            if (IsCharacter(cp) && !FT_Get_Char_Index(face, cp) && !choices.count(cp)) missing.push_back(cp);
        }
        if (!missing.empty()) ChooseFallbacks(missing);
    }

    GlyphFace FaceFor(uint32_t cp) override {
        Choose(cp);
        return chosenKind;
    }
    int32_t GlyphBufferSize(uint32_t cp, GlyphMetrics* metrics) override { return Render(cp, nullptr, 0, metrics); }
    int32_t RenderGlyph(uint32_t cp, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) override {
        return Render(cp, buffer, size, metrics);
    }

private:
    struct Fallback {
        std::string file;
        int index = 0;
        FT_Face face = nullptr;
        bool failed = false;
    };
    std::vector<Fallback> fallbacks;
    std::unordered_map<uint32_t, int32_t> choices;  // character -> fallback number, -1 for none

    // The last choice, for the two render calls that follow FaceFor.
    uint32_t chosen = 0xFFFFFFFF;
    GlyphFace chosenKind = GlyphFace::kMissing;
    FT_Face chosenFace = nullptr;
    FT_UInt chosenIndex = 0;

    // The number of the fallback face of (file, index), opening it on first use;
    // -1 when it cannot be opened or too many are open.
    int32_t FallbackNumber(const char* file, int index) {
        for (size_t i = 0; i < fallbacks.size(); ++i)
            if (fallbacks[i].index == index && fallbacks[i].file == file)
                return fallbacks[i].failed ? -1 : int32_t(i);
        if (fallbacks.size() >= kMaxFallbackFaces) return -1;
        Fallback f;
        f.file = file;
        f.index = index;
        if (FT_New_Face(library, file, index, &f.face) || FT_Set_Pixel_Sizes(f.face, 0, kPixelSize)) {
            if (f.face) FT_Done_Face(f.face);
            f.face = nullptr;
            f.failed = true;
        }
        fallbacks.push_back(f);
        return f.failed ? -1 : int32_t(fallbacks.size() - 1);
    }

    // Fonts in the order of FcFontSort for a pattern of the lyric family with the
    // missing characters as its character set; each character takes the first
    // scalable outline font without colour glyphs whose set has it.
    void ChooseFallbacks(const std::vector<uint32_t>& missing) {
        if (choices.size() + missing.size() > kMaxRememberedChoices) choices.clear();
        FcCharSet* charset = FcCharSetCreate();
        FcPattern* pattern = FcPatternCreate();
        FcFontSet* sorted = nullptr;
        if (charset && pattern) {
            for (uint32_t cp : missing) FcCharSetAddChar(charset, cp);
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            FcPatternAddCharSet(pattern, FC_CHARSET, charset);
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            sorted = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
        }
        for (uint32_t cp : missing) {
            int32_t choice = -1;
            for (int i = 0; sorted && i < sorted->nfont && choice < 0; ++i) {
                FcPattern* font = sorted->fonts[i];
                FcCharSet* has = nullptr;
                FcBool scalable = FcFalse, colour = FcFalse;
                FcChar8* file = nullptr;
                int index = 0;
                if (FcPatternGetCharSet(font, FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, cp))
                    continue;
                if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable) continue;
                if (FcPatternGetBool(font, FC_COLOR, 0, &colour) == FcResultMatch && colour) continue;
                if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
                FcPatternGetInteger(font, FC_INDEX, 0, &index);
                const int32_t number = FallbackNumber(reinterpret_cast<const char*>(file), index);
                if (number >= 0 && FT_Get_Char_Index(fallbacks[size_t(number)].face, cp)) choice = number;
            }
            choices[cp] = choice;
        }
        if (sorted) FcFontSetDestroy(sorted);
        if (pattern) FcPatternDestroy(pattern);
        if (charset) FcCharSetDestroy(charset);
    }

    void Choose(uint32_t cp) {
        if (cp == chosen) return;
        chosen = cp;
        chosenKind = GlyphFace::kMissing;
        chosenFace = face;
        chosenIndex = 0;
        if (!IsCharacter(cp)) return;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (index) {
            chosenKind = GlyphFace::kLyric;
            chosenIndex = index;
            return;
        }
        auto found = choices.find(cp);
        if (found == choices.end()) {
            ChooseFallbacks({cp});
            found = choices.find(cp);
        }
        if (found == choices.end() || found->second < 0) return;
        chosenKind = GlyphFace::kFallback;
        chosenFace = fallbacks[size_t(found->second)].face;
        chosenIndex = FT_Get_Char_Index(chosenFace, cp);
    }

    int32_t Render(uint32_t cp, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) {
        *metrics = GlyphMetrics();
        Choose(cp);
        if (FT_Load_Glyph(chosenFace, chosenIndex, FT_LOAD_DEFAULT) ||
            FT_Render_Glyph(chosenFace->glyph, FT_RENDER_MODE_NORMAL))
            return -1;
        const FT_GlyphSlot slot = chosenFace->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        metrics->blackBoxX = bitmap.width ? bitmap.width : 1;
        metrics->blackBoxY = bitmap.rows ? bitmap.rows : 1;
        metrics->originX = slot->bitmap_left;
        metrics->originY = slot->bitmap_top;
        metrics->cellIncX = int16_t(slot->advance.x >> 6);
        metrics->cellIncY = 0;
        // Grey levels only (256 levels, or 2 from an embedded monochrome strike); a
        // colour bitmap has no grey form.
        const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
        if (bitmap.width == 0 || bitmap.rows == 0 || (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && !mono)) return 0;
        const uint32_t pitch = (bitmap.width + 3) & ~3u;
        const uint32_t needed = pitch * bitmap.rows;
        if (!buffer) return int32_t(needed);
        if (size < needed) return -1;
        std::memset(buffer, 0, needed);
        for (uint32_t y = 0; y < bitmap.rows; ++y) {
            const uint8_t* row = bitmap.buffer + int64_t(y) * bitmap.pitch;
            for (uint32_t x = 0; x < bitmap.width; ++x)
                buffer[y * pitch + x] = mono ? uint8_t((row[x >> 3] >> (7 - (x & 7)) & 1) * 64)
                                             : uint8_t((row[x] * 64u + 127u) / 255u);  // 256 levels -> 65
        }
        return int32_t(needed);
    }
};

FreeTypeGlyphSource* OpenLyricFont() {
    static const FontFile file = FindLyricFontFile();  // looked up once per process
    if (file.file.empty()) return nullptr;
    auto* source = new FreeTypeGlyphSource();
    source->family = file.family;
    if (FT_Init_FreeType(&source->library) ||
        FT_New_Face(source->library, file.file.c_str(), file.index, &source->face) ||
        FT_Set_Pixel_Sizes(source->face, 0, kPixelSize)) {
        delete source;
        return nullptr;
    }
    const FT_Size_Metrics& m = source->face->size->metrics;
    source->ascent = int32_t((m.ascender + 63) >> 6);
    source->height = source->ascent + int32_t((-m.descender + 63) >> 6);
    return source;
}

}  // namespace

GlyphSource* LyricFont(RendererWindowHandle) {
    // Kept for the life of the process: reachable to the end, freed by the system.
    static FreeTypeGlyphSource* source = nullptr;
    if (!source) source = OpenLyricFont();
    return source;
}

}  // namespace platform
