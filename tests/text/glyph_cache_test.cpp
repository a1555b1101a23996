// The glyph cache with a made-up font: slots, atlas sizes, alpha from grey levels,
// the outline and its inverted twin, records after the finishing pass, clipping
// of oversized glyphs, and the real FreeType font with its atlas saved for a look.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstring>
#include <string>

#include "fake_glyph_source.h"
#include "glyph_invariants.h"
#include "imaging/compositing.h"
#include "song_builder.h"
#include "text/glyph_cache.h"

namespace {

class GlyphCache : public ::testing::Test {
protected:
    void TearDown() override { DestroyGlyphCache(&cache); }
    void Build(const std::u16string& text) { BuildGlyphCacheWith(&cache, text.c_str(), &font); }
    FakeGlyphSource font;
    CGlyphCache cache;
};

TEST_F(GlyphCache, CollectsDistinctCharactersInOrder) {
    SongBuilder b;
    b.Line(0, 10).Word(0, 5, u"abca").Word(5, 9, u"").Line(20, 30).Word(20, 25, u"dab");
    SongInfo* song = b.Build();
    EXPECT_EQ(u"abcd", CollectSongText(*song));
    SongInfo none = {};
    EXPECT_EQ(u"", CollectSongText(none));
}

TEST_F(GlyphCache, RepeatsSpacesAndLineFeedsTakeNoSlot) {
    Build(u"aba \n\xFFFF" u"b");
    EXPECT_EQ(2, cache.glyphCount);
    EXPECT_EQ(2, font.renderCalls);
    EXPECT_EQ(0, FindGlyphRect(cache, u' ').width);
    EXPECT_EQ(0u, cache.glyphRects.count(u'\n'));
    EXPECT_EQ(0, FindGlyphRect(cache, u'z').width);  // never rendered: all zero
    EXPECT_EQ(0, FindGlyphOffset(cache, u'z').dy);
    EXPECT_EQ(0u, FindGlyphMetrics(cache, u'z').blackBoxX);
}

TEST_F(GlyphCache, AtlasSizesFollowTheTextLength) {
    const int L = 26 + 4;
    const std::pair<std::u16string, int> cases[] = {
        {u"abcdefghij", 1}, {u"abcdefghijk", 2}, {u"abcdefghijklmnopqrstuvwxy", 3}};
    for (const auto& c : cases) {
        Build(c.first);
        EXPECT_EQ(10 * 26, cache.plainAtlas.width);
        EXPECT_EQ(c.second * 26, cache.plainAtlas.height);
        EXPECT_EQ(10 * L, cache.outlinedAtlas.width);
        EXPECT_EQ(c.second * L, cache.outlinedAtlas.height);
        EXPECT_EQ(c.second * L, cache.invertedAtlas.height);
    }
}

TEST_F(GlyphCache, TheEleventhGlyphOpensTheSecondRow) {
    Build(u"abcdefghijk");
    EXPECT_EQ(11, cache.glyphCount);
    EXPECT_EQ(26, cache.penY);
    const GlyphRect& k = cache.cellRects.at(u'k');
    EXPECT_EQ(0, k.x);
    EXPECT_EQ(30, k.y);
    const GlyphRect& j = cache.cellRects.at(u'j');
    EXPECT_EQ(270, j.x);
    EXPECT_EQ(0, j.y);
}

TEST_F(GlyphCache, RecordsAfterTheFinishingPass) {
    Build(u"ab");
    uint32_t w = 0, h = 0;
    font.Box(u'b', &w, &h);
    const GlyphRect& r = FindGlyphRect(cache, u'b');
    EXPECT_EQ(30, r.x);  // its cell
    EXPECT_EQ(0, r.y);
    EXPECT_EQ(int32_t(w) + 4, r.width);
    EXPECT_EQ(int32_t(h) + 4, r.height);
    const GlyphOffset& o = FindGlyphOffset(cache, u'b');
    EXPECT_EQ(-1, o.dx);
    EXPECT_EQ(int32_t(h) - 2 - 20 + 2, o.dy);
}

// Plain alpha = 4v (255 for 64); the outline stamps add up; the centre gains 8a.
TEST_F(GlyphCache, GreyLevelsOutlineAndFill) {
    font.sizes[u'x'] = {1, 1};  // one pixel of level 1
    font.sizes[u'y'] = {1, 64};
    Build(u"xy");
    const DibSurface& o = cache.outlinedAtlas;
    // Glyph x: a single pixel of alpha 4 at the tile's (2, 2): the centre gets 8 * 4
    // from the outline stamps, then the fill (alpha 4) is blended over it.
    const uint8_t* centre = SurfacePixel(o, 2, 2);
    EXPECT_EQ(35, centre[3]);  // outline 8 * 4 = 32, then fill alpha 4 over it: trunc(0.13921 * 255)
    const uint8_t* neighbour = SurfacePixel(o, 3, 3);
    EXPECT_EQ(4, neighbour[3]);
    EXPECT_EQ(0xDC, neighbour[0]);  // outline colour 0x2892DC: blue DC, green 92, red 28
    EXPECT_EQ(0x92, neighbour[1]);
    EXPECT_EQ(0x28, neighbour[2]);
    EXPECT_EQ(0, SurfacePixel(o, 4, 2)[3]);  // b = 2 reaches one pixel out
    // Glyph y, row 63 has level 64: plain alpha 255 in fill colour.
    const uint8_t* plain = SurfacePixel(cache.plainAtlas, 1, 25);  // clipped to the 26-row slot
    EXPECT_EQ((FakeGlyphSource::Level(0, 25, 1) >= 64 ? 255 : FakeGlyphSource::Level(0, 25, 1) * 4), plain[3]);
    EXPECT_EQ(0xFF, plain[0]);
    EXPECT_EQ(0xE1, plain[1]);
    EXPECT_EQ(0xFF, plain[2]);
}

TEST_F(GlyphCache, EveryOutlinedPixelHasAnInvertedTwin) {
    Build(u"Hello, wörld");
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 100);
}

// A glyph larger than its slot is cut to it: nothing is written outside the atlases
// (the sanitizer build checks the memory), and the records stay inside the cells.
TEST_F(GlyphCache, OversizedGlyphsAreCutToTheirSlot) {
    font.sizes[u'W'] = {300, 200};
    font.sizes[u'i'] = {1, 90};
    Build(u"iW");
    const GlyphRect& w = FindGlyphRect(cache, u'W');
    EXPECT_EQ(30, w.width);
    EXPECT_EQ(30, w.height);
    const GlyphRect& i = FindGlyphRect(cache, u'i');
    EXPECT_LE(i.y + i.height, cache.outlinedAtlas.height);
    for (const auto& entry : cache.glyphRects) {
        EXPECT_LE(entry.second.x + entry.second.width, cache.outlinedAtlas.width);
        EXPECT_LE(entry.second.y + entry.second.height, cache.outlinedAtlas.height);
    }
}

TEST_F(GlyphCache, WithoutAFontTheCacheIsEmpty) {
    BuildGlyphCacheWith(&cache, u"abc", nullptr);
    EXPECT_EQ(0, cache.glyphCount);
    EXPECT_EQ(nullptr, cache.outlinedAtlas.pixels);
    font.lineHeight = 0;  // a font without height makes no atlas
    Build(u"abc");
    EXPECT_EQ(0, cache.glyphCount);
}

// Code units the font has no glyph for take no room and never crash: halves of a
// surrogate pair, control characters, U+FFFF, an unassigned code point.
TEST(FreeTypeGlyphCache, CharactersWithoutGlyphsTakeNoRoom) {
    CGlyphCache cache;
    const std::u16string text = {u'a', char16_t(0xD83D), char16_t(0xDE00), char16_t(0x0001), char16_t(0x0007),
                                 char16_t(0xFFFF), char16_t(0x0378), char16_t(0xD800), u'b'};
    BuildGlyphCache(&cache, text.c_str(), nullptr);
    EXPECT_GT(FindGlyphRect(cache, u'a').width, 0);
    EXPECT_GT(FindGlyphRect(cache, u'b').width, 0);
    for (char16_t c : {char16_t(0xD83D), char16_t(0xDE00), char16_t(0x0001), char16_t(0x0007), char16_t(0xFFFF),
                       char16_t(0x0378), char16_t(0xD800)})
        EXPECT_EQ(0, FindGlyphRect(cache, c).width) << std::hex << int(c);
    DestroyGlyphCache(&cache);
}

// The real font: Chinese, Latin and accented characters rendered with FreeType.
TEST(FreeTypeGlyphCache, RealFontKeepsTheStructuralInvariants) {
    CGlyphCache cache;
    const std::u16string text = u"茉莉花 Jasmine ÀéÇñ 好一朵美丽的";
    BuildGlyphCache(&cache, text.c_str(), nullptr);
    ASSERT_GT(cache.lineHeight, 20);
    EXPECT_EQ(int(text.size()) - 3, cache.glyphCount);  // the three spaces have no pixels
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 500);
    const GlyphRect& han = FindGlyphRect(cache, u'茉');
    EXPECT_GT(han.width, 16);  // a CJK face, not a box of a Latin-only font
    // Saved for a person to look at (over a dark background to show the outline).
    const DibSurface& o = cache.outlinedAtlas;
    std::vector<uint8_t> rgba(size_t(o.width) * size_t(o.height) * 4);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const uint8_t* p = SurfacePixel(o, x, y);
            uint8_t* d = &rgba[(size_t(y) * size_t(o.width) + size_t(x)) * 4];
            const int a = p[3];
            for (int c = 0; c < 3; ++c) d[c] = uint8_t((p[2 - c] * a + 40 * (255 - a)) / 255);
            d[3] = 255;
        }
    stbi_write_png("glyph_atlas.png", o.width, o.height, 4, rgba.data(), o.width * 4);
    DestroyGlyphCache(&cache);
}

}  // namespace
