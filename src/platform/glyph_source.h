// glyph_source.h - the lyric font, with fallback fonts, as grey-level glyph bitmaps.
//
// The contract is that of GetGlyphOutlineW with GGO_GRAY8_BITMAP: 65 grey levels
// (0 to 64), one byte per pixel, rows top to bottom, each row padded to a multiple
// of 4 bytes; the black box size, the glyph origin (x right of the pen, y up from
// the baseline to the top of the black box) and the advance.  Win32 renders with
// GDI ("微软雅黑", 24 pixels); Linux with FreeType and fontconfig, the same face
// or a CJK stand-in.
//
// A character is a Unicode code point.  The lyric font draws what it has; a
// character it lacks comes from the first fallback font that has it (Win32: a short
// list of fonts Windows ships per script; Linux: fontconfig's fonts sorted by how
// well they cover the song's missing characters), drawn at the same pixel size;
// when no installed font has it, the lyric font's missing-glyph box stands for it.
#ifndef RENDERER_PLATFORM_GLYPH_SOURCE_H
#define RENDERER_PLATFORM_GLYPH_SOURCE_H

#include <cstddef>
#include <cstdint>

#include "renderer.h"

// The Win32 GLYPHMETRICS record.
struct GlyphMetrics {
    uint32_t blackBoxX = 0;
    uint32_t blackBoxY = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    int16_t cellIncX = 0;
    int16_t cellIncY = 0;
};

namespace platform {

// The code point just past Unicode names the lyric font's missing-glyph box.
constexpr uint32_t kMissingGlyphBox = 0x110000;

// Which font draws a character.
enum class GlyphFace : uint8_t {
    kLyric,     // the lyric font has it
    kFallback,  // a fallback font has it; its glyph is fitted to the lyric font's line by the caller
    kMissing,   // no font has it: the calls below draw the lyric font's missing-glyph box
};

class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // tmAscent and tmHeight of the lyric font; fallback glyphs use the same line.
    virtual int32_t Ascent() const = 0;
    virtual int32_t LineHeight() const = 0;
    // The characters of the next text, before any is drawn: a source may look its
    // fallback fonts up for all of them at once.  Optional.
    virtual void PrepareText(const uint32_t* codePoints, size_t count) {
        (void)codePoints;
        (void)count;
    }
    // The font that draws `codePoint`: the lyric font, a fallback or none.
    virtual GlyphFace FaceFor(uint32_t codePoint) = 0;
    // Size in bytes of the glyph's bitmap, from the font FaceFor names (the box for
    // kMissing); 0 or less when it has no pixels.  Metrics are filled either way.
    virtual int32_t GlyphBufferSize(uint32_t codePoint, GlyphMetrics* metrics) = 0;
    // Renders into `buffer` (of `size` bytes); returns the size it needed.
    virtual int32_t RenderGlyph(uint32_t codePoint, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) = 0;
};

// The lyric font and its fallbacks, opened against the display window on the first
// call and then kept open for the life of the process, so that a new song never
// opens font files again; null when the device context or the font cannot be had
// (the next call tries again).
GlyphSource* LyricFont(RendererWindowHandle window);

}  // namespace platform

#endif
