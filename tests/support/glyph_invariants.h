// glyph_invariants.h - what holds for every glyph cache whatever font engine made it:
// records address their outlined cells, widths are black box + 4, offsets carry the
// outline, every outlined pixel has its colour-inverted twin, spaces are empty cells
// of their advance; and, for the real engines, what the installed fonts must draw:
// spaces with width, Thai, Hebrew and Devanagari from fallback fonts on the lyric
// font's line, and the missing-glyph box for a code point no font has.
#ifndef RENDERER_TESTS_GLYPH_INVARIANTS_H
#define RENDERER_TESTS_GLYPH_INVARIANTS_H

#include <gtest/gtest.h>

#include <string>

#include "text/glyph_cache.h"

// Returns the number of covered pixels of the outlined atlas.
inline int ExpectGlyphCacheInvariants(const CGlyphCache& cache) {
    for (const auto& entry : cache.glyphRects) {
        const GlyphRect& r = entry.second;
        const GlyphMetrics& gm = FindGlyphMetrics(cache, entry.first);
        const auto cellFound = cache.cellRects.find(entry.first);
        if (cellFound == cache.cellRects.end()) {
            // An empty cell (a space): its advance wide, no rows, no offset.
            EXPECT_EQ(0, r.height) << entry.first;
            EXPECT_EQ(int32_t(gm.cellIncX), r.width) << entry.first;
            EXPECT_GT(r.width, 0) << entry.first;
            EXPECT_EQ(0, FindGlyphOffset(cache, entry.first).dx);
            EXPECT_EQ(0, FindGlyphOffset(cache, entry.first).dy);
            continue;
        }
        const GlyphRect& cell = cellFound->second;
        EXPECT_EQ(cell.x, r.x);
        EXPECT_EQ(cell.y, r.y);
        EXPECT_EQ(int32_t(gm.blackBoxX) + 4, r.width);
        EXPECT_EQ(int32_t(gm.blackBoxY) + 4, r.height);
        EXPECT_LE(r.width, cell.width);
        EXPECT_LE(r.height, cell.height);
        EXPECT_LE(r.x + r.width, cache.outlinedAtlas.width);
        EXPECT_LE(r.y + r.height, cache.outlinedAtlas.height);
        EXPECT_EQ(gm.originY - cache.ascent + 2, FindGlyphOffset(cache, entry.first).dy);
        EXPECT_EQ(-gm.originX, FindGlyphOffset(cache, entry.first).dx);
    }
    const DibSurface& o = cache.outlinedAtlas;
    int covered = 0;
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const uint8_t* a = SurfacePixel(o, x, y);
            const uint8_t* b = SurfacePixel(cache.invertedAtlas, x, y);
            EXPECT_EQ(a[3], b[3]);
            if (a[3] == 0) {
                EXPECT_EQ(0u, uint32_t(b[0] | b[1] | b[2]));
                continue;
            }
            ++covered;
            EXPECT_EQ(255 - a[0], b[0]);
            EXPECT_EQ(255 - a[1], b[1]);
            EXPECT_EQ(255 - a[2], b[2]);
        }
    return covered;
}

// Covered pixels of a character's outlined tile.
inline int GlyphInk(const CGlyphCache& cache, uint16_t unit) {
    const GlyphRect& r = FindGlyphRect(cache, unit);
    int ink = 0;
    for (int y = r.y; y < r.y + r.height && y < cache.outlinedAtlas.height; ++y)
        for (int x = r.x; x < r.x + r.width && x < cache.outlinedAtlas.width; ++x)
            ink += SurfacePixel(cache.outlinedAtlas, x, y)[3] != 0;
    return ink;
}

// The text that ExpectScriptsDrawn looks at: Chinese, Latin words with spaces,
// the no-break and the ideographic space, Thai, Hebrew, Devanagari, an emoji (a
// surrogate pair), and U+0378, which Unicode has not assigned.
inline std::u16string ScriptSampleText() {
    return u"\u597D a b\u00A0c\u3000\u0E01\u0E32\u05D0\u05E9\u0915\u093F\U0001F600\u0378";
}

// What a cache built from ScriptSampleText by a real font engine must hold.
inline void ExpectScriptsDrawn(const CGlyphCache& cache) {
    ExpectGlyphCacheInvariants(cache);
    // Spaces: empty cells of the font's advance.
    for (char16_t space : {u' ', u'\u00A0', u'\u3000'}) {
        const GlyphRect& r = FindGlyphRect(cache, space);
        EXPECT_GT(r.width, 2) << int(space);
        EXPECT_LT(r.width, 40) << int(space);
        EXPECT_EQ(0, r.height) << int(space);
    }
    EXPECT_GE(FindGlyphRect(cache, u'\u3000').width, FindGlyphRect(cache, u' ').width);
    // Thai, Hebrew and Devanagari letters (from fallback fonts) have ink, and every
    // tile stands inside the line: it starts at or below the strip's top edge and
    // the black box ends within the line height.
    const GlyphRect& box = FindGlyphRect(cache, 0x0378);
    EXPECT_GT(GlyphInk(cache, u'a'), 20);
    EXPECT_GT(GlyphInk(cache, u'\u597D'), 100);
    for (char16_t letter : {u'\u0E01', u'\u05D0', u'\u05E9', u'\u0915'}) {
        EXPECT_GT(GlyphInk(cache, letter), 20) << std::hex << int(letter);
        const GlyphRect& r = FindGlyphRect(cache, letter);
        EXPECT_FALSE(r.x == box.x && r.y == box.y) << "drawn as the box: " << std::hex << int(letter);
        const GlyphOffset& o = FindGlyphOffset(cache, letter);
        const GlyphMetrics& gm = FindGlyphMetrics(cache, letter);
        EXPECT_LE(o.dy, 0) << std::hex << int(letter);
        EXPECT_LE(cache.ascent - gm.originY + int32_t(gm.blackBoxY), cache.lineHeight) << std::hex << int(letter);
    }
    // The emoji is one character: its glyph on one unit, nothing on the other.
    const uint16_t high = 0xD83D, low = 0xDE00;
    EXPECT_GT(GlyphInk(cache, high), 20);
    EXPECT_FALSE(FindGlyphRect(cache, high).x == box.x && FindGlyphRect(cache, high).y == box.y);
    EXPECT_EQ(0, FindGlyphRect(cache, low).width);
    // No font has U+0378: the lyric font's box stands for it.
    EXPECT_GT(GlyphInk(cache, 0x0378), 20);
}

#endif
