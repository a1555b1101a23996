// glyph_cache.h - every distinct character of the song, rendered once with an
// outline, in two atlases: outlined (unsung look) and colour-inverted (sung look).
//
// The cache is keyed by UTF-16 code unit.  A space (any Unicode space separator)
// is an empty cell of the font's advance width: height 0, so that copying it
// changes no pixel while the pen still moves on.  A surrogate pair is one
// character: one of its units carries the glyph and the other has none, so the
// pair takes the room of one glyph (see GlyphItems).  Characters no installed
// font has draw the lyric font's missing-glyph box.
//
// The atlases never take more than kGlyphAtlasBudget bytes together: a song with
// more distinct characters than fit draws the rest as the missing-glyph box.
#ifndef RENDERER_TEXT_GLYPH_CACHE_H
#define RENDERER_TEXT_GLYPH_CACHE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

    platform::GlyphSource* font = nullptr;  // the lyric font, set only while the cache is being built
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

// The three atlases together stay within this many bytes (about 5,000 glyphs of the
// 24-pixel lyric font).
constexpr int64_t kGlyphAtlasBudget = int64_t(64) << 20;

// Every distinct code unit of the song, in order of first appearance; a surrogate
// pair is kept as a pair, once per distinct pair, and a lone surrogate is left out.
std::u16string CollectSongText(const SongInfo& song);

// One character of a text to render: the code unit whose records it gets, its
// code point, and whether it is drawn as the missing-glyph box.
struct GlyphItem {
    uint16_t key = 0;
    uint32_t codePoint = 0;
    bool box = false;
};

// The characters of a text in order.  A unit outside a pair is itself.  A pair's
// glyph goes to its first unit when every pair of the text with that first unit is
// the same pair; otherwise to its second unit (the second units of the pairs whose
// first unit is shared are then taken by those pairs alone, so their first units
// stay empty); a second unit that even so stands for different pairs draws the
// box.  Lone surrogates give nothing.
std::vector<GlyphItem> GlyphItems(const char16_t* text, size_t length);

// Slot rows of the atlases for a text of `length` code units and a font of
// `lineHeight`: one row per 10 units and one more (one row up to 10 units), but
// no more than fit kGlyphAtlasBudget.
int64_t GlyphAtlasRows(size_t length, int32_t lineHeight);

// Renders the text's characters with the lyric font and its fallbacks (opened
// against `window` once and kept open for later songs) into `cache`.
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
