// glyph_cache.h - every distinct character of the song, rendered once with an
// outline, in two atlases: outlined (unsung look) and colour-inverted (sung look).
#ifndef RENDERER_TEXT_GLYPH_CACHE_H
#define RENDERER_TEXT_GLYPH_CACHE_H

#include <cstdint>
#include <map>
#include <string>

#include "imaging/dib_surface.h"
#include "platform/glyph_source.h"
#include "renderer.h"

struct GlyphRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct GlyphOffset {
    int32_t dx = 0, dy = 0;
};

// Glyph colours (0xRRGGBB): the fill, and the 2-pixel outline around it.
constexpr uint32_t kGlyphFillColour = 0xFFE1FF;
constexpr uint32_t kGlyphOutlineColour = 0x2892DC;

class CGlyphCache;
void DestroyGlyphCache(CGlyphCache* cache);

// Owns its atlases: they are released when the cache goes.
class CGlyphCache {
public:
    CGlyphCache() = default;
    ~CGlyphCache() { DestroyGlyphCache(this); }
    CGlyphCache(const CGlyphCache&) = delete;
    CGlyphCache& operator=(const CGlyphCache&) = delete;

    platform::GlyphSource* font = nullptr;  // open only while the cache is being built
    int32_t ascent = 0;
    int32_t lineHeight = 0;
    int32_t outlineWidth = 2;
    int32_t glyphCount = 0;
    int32_t penX = 0, penY = 0;
    DibSurface plainAtlas;
    DibSurface invertedAtlas;
    DibSurface outlinedAtlas;
    std::map<uint16_t, GlyphRect> glyphRects;
    std::map<uint16_t, GlyphRect> cellRects;
    std::map<uint16_t, GlyphOffset> glyphOffsets;
    std::map<uint16_t, GlyphMetrics> glyphMetrics;
};

// Every distinct code unit of the song, in order of first appearance.
std::u16string CollectSongText(const SongInfo& song);

// Renders the text's characters with the lyric font (against `window`) into `cache`.
// When the font or an atlas cannot be had the cache simply stays without glyphs.
void BuildGlyphCache(CGlyphCache* cache, const char16_t* text, RendererWindowHandle window);

// Renders with an already opened glyph source (tests give their own).
void BuildGlyphCacheWith(CGlyphCache* cache, const char16_t* text, platform::GlyphSource* source);

// Lookups; absent characters give shared all-zero records.
const GlyphRect& FindGlyphRect(const CGlyphCache& cache, uint16_t character);
const GlyphOffset& FindGlyphOffset(const CGlyphCache& cache, uint16_t character);
const GlyphMetrics& FindGlyphMetrics(const CGlyphCache& cache, uint16_t character);

// Releases the atlases and empties the maps.
void DestroyGlyphCache(CGlyphCache* cache);

#endif
