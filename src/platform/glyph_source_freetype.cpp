// glyph_source_freetype.cpp - the lyric font on Linux: fontconfig finds "微软雅黑"
// or a CJK stand-in (WenQuanYi Micro Hei), FreeType renders it at 24 pixels, and
// the bitmaps are given the GGO_GRAY8_BITMAP form (65 levels, rows padded to 4).
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstring>
#include <string>

#include "platform/glyph_source.h"

namespace platform {

namespace {

// The font file for the first family fontconfig really has.
std::string FindFontFile() {
    const char* families[] = {"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91",  // 微软雅黑
                              "Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "DejaVu Sans"};
    std::string found;
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
                std::strcmp(reinterpret_cast<const char*>(matchedFamily), family) == 0)
                found = reinterpret_cast<const char*>(file);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        if (!found.empty()) break;
    }
    return found;
}

class FreeTypeGlyphSource final : public GlyphSource {
public:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int32_t ascent = 0, height = 0;

    ~FreeTypeGlyphSource() override {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    int32_t Ascent() const override { return ascent; }
    int32_t LineHeight() const override { return height; }

    int32_t GlyphBufferSize(uint16_t character, GlyphMetrics* metrics) override {
        return Render(character, nullptr, 0, metrics);
    }
    int32_t RenderGlyph(uint16_t character, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) override {
        return Render(character, buffer, size, metrics);
    }

private:
    int32_t Render(uint16_t character, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) {
        *metrics = GlyphMetrics();
        // A lone surrogate or a character the face lacks has no glyph.
        if (character >= 0xD800 && character <= 0xDFFF) return -1;
        const FT_UInt index = FT_Get_Char_Index(face, character);
        if (index == 0) return -1;
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL))
            return -1;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        metrics->blackBoxX = bitmap.width ? bitmap.width : 1;
        metrics->blackBoxY = bitmap.rows ? bitmap.rows : 1;
        metrics->originX = slot->bitmap_left;
        metrics->originY = slot->bitmap_top;
        metrics->cellIncX = int16_t(slot->advance.x >> 6);
        metrics->cellIncY = 0;
        if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return 0;
        const uint32_t pitch = (bitmap.width + 3) & ~3u;
        const uint32_t needed = pitch * bitmap.rows;
        if (!buffer) return int32_t(needed);
        if (size < needed) return -1;
        std::memset(buffer, 0, needed);
        for (uint32_t y = 0; y < bitmap.rows; ++y) {
            const uint8_t* row = bitmap.buffer + int64_t(y) * bitmap.pitch;
            for (uint32_t x = 0; x < bitmap.width; ++x)
                buffer[y * pitch + x] = uint8_t((row[x] * 64u + 127u) / 255u);  // 256 levels -> 65
        }
        return int32_t(needed);
    }
};

}  // namespace

GlyphSource* OpenLyricFont(RendererWindowHandle) {
    static const std::string file = FindFontFile();  // looked up once per process
    if (file.empty()) return nullptr;
    auto* source = new FreeTypeGlyphSource();
    if (FT_Init_FreeType(&source->library) || FT_New_Face(source->library, file.c_str(), 0, &source->face) ||
        FT_Set_Pixel_Sizes(source->face, 0, 24)) {
        delete source;
        return nullptr;
    }
    const FT_Size_Metrics& m = source->face->size->metrics;
    source->ascent = int32_t((m.ascender + 63) >> 6);
    source->height = source->ascent + int32_t((-m.descender + 63) >> 6);
    return source;
}

void CloseLyricFont(GlyphSource* source) { delete source; }

}  // namespace platform
