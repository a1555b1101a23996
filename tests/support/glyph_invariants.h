// glyph_invariants.h - what holds for every glyph cache whatever font engine made it:
// records address their outlined cells, widths are black box + 4, offsets carry the
// outline, and every outlined pixel has its colour-inverted twin.
#ifndef RENDERER_TESTS_GLYPH_INVARIANTS_H
#define RENDERER_TESTS_GLYPH_INVARIANTS_H

#include <gtest/gtest.h>

#include "text/glyph_cache.h"

// Returns the number of covered pixels of the outlined atlas.
inline int ExpectGlyphCacheInvariants(const CGlyphCache& cache) {
    for (const auto& entry : cache.glyphRects) {
        const GlyphRect& r = entry.second;
        const GlyphRect& cell = cache.cellRects.at(entry.first);
        const GlyphMetrics& gm = FindGlyphMetrics(cache, entry.first);
        EXPECT_EQ(cell.x, r.x);
        EXPECT_EQ(cell.y, r.y);
        EXPECT_EQ(int32_t(gm.blackBoxX) + 4, r.width);
        EXPECT_EQ(int32_t(gm.blackBoxY) + 4, r.height);
        EXPECT_LE(r.width, cell.width);
        EXPECT_LE(r.height, cell.height);
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

#endif
