// glyph_source.h - the lyric font as grey-level glyph bitmaps.
//
// The contract is that of GetGlyphOutlineW with GGO_GRAY8_BITMAP: 65 grey levels
// (0 to 64), one byte per pixel, rows top to bottom, each row padded to a multiple
// of 4 bytes; the black box size, the glyph origin (x right of the pen, y up from
// the baseline to the top of the black box) and the advance.  Win32 renders with
// GDI ("微软雅黑", 24 pixels); Linux with FreeType and fontconfig, the same face
// or a CJK stand-in.
#ifndef RENDERER_PLATFORM_GLYPH_SOURCE_H
#define RENDERER_PLATFORM_GLYPH_SOURCE_H

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

class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    // tmAscent and tmHeight of the font.
    virtual int32_t Ascent() const = 0;
    virtual int32_t LineHeight() const = 0;
    // Size in bytes of the glyph's bitmap; 0 or less when it has no pixels.
    virtual int32_t GlyphBufferSize(uint16_t character, GlyphMetrics* metrics) = 0;
    // Renders into `buffer` (of `size` bytes); returns the size it needed.
    virtual int32_t RenderGlyph(uint16_t character, uint8_t* buffer, uint32_t size, GlyphMetrics* metrics) = 0;
};

// Opens the lyric font for rendering against the display window: null when the
// device context or the font cannot be had.
GlyphSource* OpenLyricFont(RendererWindowHandle window);
void CloseLyricFont(GlyphSource* source);

}  // namespace platform

#endif
