// The glyph cache with a made-up font: slots, atlas sizes, alpha from grey levels,
// the outline and its inverted twin, records after the finishing pass, clipping
// of oversized glyphs, spaces, surrogate pairs, fallback glyphs fitted to the line,
// the shared missing-glyph box and the atlas budget; and the real FreeType font
// with its fallbacks, its atlas saved for a look.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstring>
#include <set>
#include <string>

#include "fake_glyph_source.h"
#include "glyph_invariants.h"
#include "imaging/compositing.h"
#include "song_builder.h"
#include "text/glyph_cache.h"
#include "test_random.h"

namespace {

// Saves the outlined atlas for a person to look at (over a dark background to show the outline).
void SaveAtlas(const CGlyphCache& cache, const char* file) {
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
    stbi_write_png(file, o.width, o.height, 4, rgba.data(), o.width * 4);
}

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

TEST_F(GlyphCache, RepeatsAndLineFeedsTakeNoSlot) {
    Build(u"abab\n\xFFFF" u"b");
    EXPECT_EQ(2, cache.glyphCount);
    EXPECT_EQ(2, font.renderCalls);
    EXPECT_EQ(0u, cache.glyphRects.count(u'\n'));
    EXPECT_EQ(0, FindGlyphRect(cache, u'z').width);  // never rendered: all zero
    EXPECT_EQ(0, FindGlyphOffset(cache, u'z').dy);
    EXPECT_EQ(0u, FindGlyphMetrics(cache, u'z').blackBoxX);
}

// Every space separator is an empty cell as wide as its advance: no slot, no
// rendering, height 0 (so that copying it changes no pixel).
TEST_F(GlyphCache, SpacesAreEmptyCellsOfTheirAdvance) {
    const std::u16string spaces = u"\u0020\u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008"
                                  u"\u2009\u200A\u202F\u205F\u3000";
    Build(u"a" + spaces + u"b");
    EXPECT_EQ(2, cache.glyphCount);
    EXPECT_EQ(2, font.renderCalls);
    for (char16_t c : spaces) {
        const GlyphRect& r = FindGlyphRect(cache, c);
        EXPECT_EQ(int32_t(c % 7 + 3 + 2), r.width) << std::hex << int(c);  // the made-up advance
        EXPECT_EQ(0, r.height);
        EXPECT_EQ(0, FindGlyphOffset(cache, c).dx);
        EXPECT_EQ(0, FindGlyphOffset(cache, c).dy);
        EXPECT_EQ(0u, cache.cellRects.count(c));
    }
    // Not separators: the zero-width space is a format character.
    EXPECT_EQ(0, FindGlyphRect(cache, u'\u200B').width);
    EXPECT_EQ(cache.cellRects.at(u'b').x, 30);  // b took the second slot
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 50);
    // A space no font has takes the advance of U+0020.
    font.missing.insert(0x2003);
    Build(u"\u2003");
    EXPECT_EQ(int32_t(0x20 % 7 + 3 + 2), FindGlyphRect(cache, u'\u2003').width);
}

TEST_F(GlyphCache, CollectsSurrogatePairsOncePerPair) {
    SongBuilder b;
    const std::u16string grin = u"\U0001F600", joy = u"\U0001F602", lone = {char16_t(0xD83D)};
    b.Line(0, 10).Word(0, 5, u"a" + grin + u"b").Word(5, 9, grin + lone).Line(20, 30).Word(20, 25, joy + u"a");
    b.Line(40, 50).Word(40, 45, std::u16string(1, char16_t(0xDE00)) + u"c");  // a lone second half
    SongInfo* song = b.Build();
    EXPECT_EQ(u"a" + grin + u"b" + joy + u"c", CollectSongText(*song));
}

// Which unit of a pair carries its glyph, over random texts of pairs drawn from a
// few first and second halves (so that halves are shared in every way): every
// pair shows exactly one glyph, its own or (only when its second half stands for
// several pairs) the box, and a pair whose halves belong to it alone keeps its
// glyph on the first unit.
TEST(GlyphItems, EveryPairHasItsGlyphOnExactlyOneUnit) {
    TestRandom rng(20240611);
    for (int round = 0; round < 2000; ++round) {
        const int highs = 1 + int(rng() % 3), lows = 1 + int(rng() % 3);
        std::u16string text;
        const int pairs = 1 + int(rng() % 6);
        for (int i = 0; i < pairs; ++i) {
            if (rng() % 4 == 0) text.push_back(u'a' + char16_t(rng() % 3));
            text.push_back(char16_t(0xD83C + rng() % highs));
            text.push_back(char16_t(0xDE00 + rng() % lows));
        }
        if (rng() % 3 == 0) text.push_back(char16_t(0xD800));  // a lone half at the end
        const std::vector<GlyphItem> items = GlyphItems(text.c_str(), text.size());
        std::map<uint16_t, GlyphItem> byKey;  // the first item of each unit wins
        for (const GlyphItem& item : items) byKey.emplace(item.key, item);
        std::map<uint16_t, std::set<uint16_t>> highsOfLow, lowsOfHigh;
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00) {
                highsOfLow[text[i + 1]].insert(text[i]);
                lowsOfHigh[text[i]].insert(text[i + 1]);
                ++i;
            }
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            const uint16_t high = text[i], low = text[i + 1];
            if (high < 0xD800 || high > 0xDBFF) {
                EXPECT_TRUE(byKey.count(high) && byKey[high].codePoint == high);
                continue;
            }
            ++i;
            const uint32_t codePoint = 0x10000 + ((uint32_t(high) - 0xD800) << 10 | (uint32_t(low) - 0xDC00));
            ASSERT_NE(byKey.count(high) != 0, byKey.count(low) != 0) << "round " << round;
            const GlyphItem& carrier = byKey.count(high) ? byKey[high] : byKey[low];
            if (carrier.box) {
                EXPECT_EQ(low, carrier.key);
                EXPECT_GT(highsOfLow[low].size(), 1u);
            } else {
                EXPECT_EQ(codePoint, carrier.codePoint) << "round " << round;
            }
            if (lowsOfHigh[high].size() == 1 && highsOfLow[low].size() == 1 && !byKey.count(low)) {
                EXPECT_EQ(high, carrier.key);
            }
        }
        EXPECT_EQ(0u, byKey.count(0xD800));
    }
    // The usual cases: one emoji keeps its glyph on its first unit; two emoji with
    // the same first unit move theirs to the second units.
    const std::u16string one = u"\U0001F600";
    EXPECT_EQ(0xD83D, GlyphItems(one.c_str(), one.size())[0].key);
    const std::u16string two = u"\U0001F600\U0001F602";
    const std::vector<GlyphItem> both = GlyphItems(two.c_str(), two.size());
    ASSERT_EQ(2u, both.size());
    EXPECT_EQ(0xDE00, both[0].key);
    EXPECT_EQ(0x1F600u, both[0].codePoint);
    EXPECT_EQ(0xDE02, both[1].key);
}

// A pair is drawn as one character; the code point reaches the source.
TEST_F(GlyphCache, APairIsOneGlyph) {
    Build(u"a\U0001F600");
    EXPECT_EQ(2, cache.glyphCount);
    EXPECT_EQ(1, font.renderedCodePoints[0x1F600]);
    uint32_t w = 0, h = 0;
    font.Box(0x1F600, &w, &h);
    EXPECT_EQ(int32_t(w) + 4, FindGlyphRect(cache, 0xD83D).width);
    EXPECT_EQ(0, FindGlyphRect(cache, 0xDE00).width);
    EXPECT_EQ(std::vector<uint32_t>({u'a', 0x1F600}), font.prepared);
}

// Characters no font has share one missing-glyph box; invisible characters that
// the font lacks (controls, format and variation characters) draw nothing.
TEST_F(GlyphCache, MissingCharactersShareTheBox) {
    for (uint32_t c : {0x0378u, 0x0379u, 0xE000u, 0x0001u, 0x200Bu, 0xFE0Fu, 0x2060u}) font.missing.insert(c);
    Build(u"a\u0378b\u0379\uE000\u0001\u200B\uFE0F\u2060");
    EXPECT_EQ(3, cache.glyphCount);  // a, the box, b
    EXPECT_EQ(1, font.renderedCodePoints[platform::kMissingGlyphBox]);
    const GlyphRect& box = FindGlyphRect(cache, 0x0378);
    EXPECT_EQ(12, box.width);  // 8 + 4
    EXPECT_EQ(16, box.height);
    for (char16_t c : {u'\u0379', u'\uE000'}) {
        EXPECT_EQ(box.x, FindGlyphRect(cache, c).x);
        EXPECT_EQ(box.width, FindGlyphRect(cache, c).width);
        EXPECT_EQ(FindGlyphOffset(cache, 0x0378).dy, FindGlyphOffset(cache, c).dy);
    }
    for (char16_t c : {u'\u0001', u'\u200B', u'\uFE0F', u'\u2060'}) EXPECT_EQ(0, FindGlyphRect(cache, c).width);
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 100);
    // The same invisible characters from the lyric font keep their glyphs.
    font.missing.clear();
    Build(u"\u200B");
    EXPECT_GT(FindGlyphRect(cache, u'\u200B').width, 0);
}

// A fallback glyph keeps the lyric font's baseline and line: rows above
// ascent - outlineWidth and below lineHeight are cut, it never starts left of the
// pen, and the rows kept are the source's own rows.  Random sizes and origins.
TEST_F(GlyphCache, FallbackGlyphsAreFittedToTheLine) {
    TestRandom rng(7);
    int cut = 0;
    for (int round = 0; round < 500; ++round) {
        const uint32_t c = 0x0E01 + rng() % 40;
        font.fallback = {c};
        const uint32_t w = 1 + rng() % 24, h = 1 + rng() % 40;
        const int32_t ox = int32_t(rng() % 13) - 6, oy = int32_t(rng() % 50) - 15;
        font.sizes[c] = {w, h};
        font.origins[c] = {ox, oy};
        Build(std::u16string(1, char16_t(c)));
        const int32_t first = std::max(0, oy - 20 + 2), end = std::min(int32_t(h), 26 - 20 + oy);
        if (end - first <= 0) {
            EXPECT_EQ(0, FindGlyphRect(cache, uint16_t(c)).width) << round;
            continue;
        }
        cut += first > 0 || end < int32_t(h);
        const GlyphMetrics& gm = FindGlyphMetrics(cache, uint16_t(c));
        ASSERT_EQ(uint32_t(end - first), gm.blackBoxY) << round;
        EXPECT_EQ(oy - first, gm.originY);
        EXPECT_EQ(std::max(0, ox), gm.originX);
        const GlyphOffset& o = FindGlyphOffset(cache, uint16_t(c));
        EXPECT_LE(o.dy, 0);                                     // the tile starts inside the strip
        EXPECT_LE(20 - gm.originY + int32_t(gm.blackBoxY), 26);  // and the glyph ends within the line
        EXPECT_LE(o.dx, 0);
        // The plain glyph of slot 0 sits at (0, 0) of plainAtlas: row y is source row first + y.
        const int32_t kept = std::min<int32_t>(int32_t(w), 26);
        for (int32_t y = 0; y < int32_t(gm.blackBoxY); ++y)
            for (int32_t x = 0; x < kept; ++x) {
                const uint8_t level = FakeGlyphSource::Level(uint32_t(x), uint32_t(first + y), w);
                ASSERT_EQ(level >= 64 ? 255 : level * 4, SurfacePixel(cache.plainAtlas, x, y)[3]) << round;
            }
        ExpectGlyphCacheInvariants(cache);
    }
    EXPECT_GT(cut, 100);
    // The lyric font's own glyphs are never cut: the same glyph from the lyric font.
    font.fallback.clear();
    font.sizes[u'x'] = {5, 30};
    font.origins[u'x'] = {-3, 28};
    Build(u"x");
    EXPECT_EQ(26u, FindGlyphMetrics(cache, u'x').blackBoxY);  // only the slot clips it
    EXPECT_EQ(28, FindGlyphMetrics(cache, u'x').originY);
    EXPECT_EQ(-3, FindGlyphMetrics(cache, u'x').originX);
}

// However many distinct characters a song has, the atlases stay within the
// budget and no more glyphs are rendered than they hold; the characters beyond
// draw the box, so lines keep their length.
TEST_F(GlyphCache, ManyDistinctCharactersStayWithinTheBudget) {
    for (int32_t lineHeight : {26, 32, 40}) {
        font.lineHeight = lineHeight;
        font.renderCalls = 0;
        std::u16string text;
        for (uint32_t c = 0x100; c < 0xFFFE; ++c)  // 61,437 units that are characters, not spaces
            if ((c < 0xD800 || c > 0xDFFF) && !FakeGlyphSource::IsSpace(c)) text.push_back(char16_t(c));
        Build(text);
        const int64_t bytes = int64_t(cache.plainAtlas.stride) * cache.plainAtlas.height +
                              int64_t(cache.outlinedAtlas.stride) * cache.outlinedAtlas.height +
                              int64_t(cache.invertedAtlas.stride) * cache.invertedAtlas.height;
        EXPECT_LE(bytes, kGlyphAtlasBudget);
        const int64_t slots = GlyphAtlasRows(text.size(), lineHeight) * 10;
        EXPECT_GT(slots, 2000);
        EXPECT_LT(slots, int64_t(text.size()));
        EXPECT_EQ(slots, cache.glyphCount);
        EXPECT_LE(font.renderCalls, slots);
        // The last slot holds the box, which every character beyond shares.
        const GlyphRect& box = FindGlyphRect(cache, text.back());
        EXPECT_EQ(12, box.width);
        EXPECT_EQ(box.x, cache.cellRects.at(text[size_t(slots - 1)]).x);
        EXPECT_EQ(box.y, cache.cellRects.at(text[size_t(slots - 1)]).y);
        for (char16_t c : text) ASSERT_GT(FindGlyphRect(cache, c).width, 0);
    }
    // A song that fits renders every glyph, up to the last slot.
    font.lineHeight = 26;
    std::u16string fits;
    for (char16_t c = 0x4E00; c < 0x4E00 + 10; ++c) fits.push_back(c);
    font.renderedCodePoints.clear();
    Build(fits);
    EXPECT_EQ(10, cache.glyphCount);
    EXPECT_EQ(0, font.renderedCodePoints[platform::kMissingGlyphBox]);
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

// Code units that are no character, or invisible ones no font has, take no room
// and never crash: halves of a broken pair, control characters, U+FFFF.
TEST(FreeTypeGlyphCache, CharactersWithoutGlyphsTakeNoRoom) {
    CGlyphCache cache;
    const std::u16string text = {u'a', char16_t(0xDE00), char16_t(0x0001), char16_t(0x0007), char16_t(0xFFFF),
                                 char16_t(0xD800), u'b'};
    BuildGlyphCache(&cache, text.c_str(), nullptr);
    EXPECT_GT(FindGlyphRect(cache, u'a').width, 0);
    EXPECT_GT(FindGlyphRect(cache, u'b').width, 0);
    for (char16_t c : {char16_t(0xDE00), char16_t(0x0001), char16_t(0x0007), char16_t(0xFFFF), char16_t(0xD800)})
        EXPECT_EQ(0, FindGlyphRect(cache, c).width) << std::hex << int(c);
    DestroyGlyphCache(&cache);
}

// Spaces, Thai, Hebrew, Devanagari from the fallback fonts, an emoji pair and the
// box, with FreeType and fontconfig.
TEST(FreeTypeGlyphCache, EveryScriptIsDrawn) {
    CGlyphCache cache;
    BuildGlyphCache(&cache, ScriptSampleText().c_str(), nullptr);
    ASSERT_GT(cache.lineHeight, 20);
    ExpectScriptsDrawn(cache);
    SaveAtlas(cache, "glyph_atlas_scripts.png");
    DestroyGlyphCache(&cache);
}

// The font is opened once for the process: later songs reuse it (and its
// fallbacks) and get the same glyphs.
TEST(FreeTypeGlyphCache, TheFontStaysOpenBetweenSongs) {
    platform::GlyphSource* first = platform::LyricFont(nullptr);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, platform::LyricFont(nullptr));
    CGlyphCache a, b;
    BuildGlyphCache(&a, ScriptSampleText().c_str(), nullptr);
    BuildGlyphCache(&b, u"x", nullptr);
    DestroyGlyphCache(&b);
    BuildGlyphCache(&b, ScriptSampleText().c_str(), nullptr);
    ASSERT_EQ(a.outlinedAtlas.height, b.outlinedAtlas.height);
    EXPECT_EQ(0, std::memcmp(a.outlinedAtlas.pixels, b.outlinedAtlas.pixels,
                             size_t(a.outlinedAtlas.stride) * size_t(a.outlinedAtlas.height)));
    EXPECT_EQ(first, platform::LyricFont(nullptr));
    DestroyGlyphCache(&a);
    DestroyGlyphCache(&b);
}

// The real font: Chinese, Latin and accented characters rendered with FreeType.
TEST(FreeTypeGlyphCache, RealFontKeepsTheStructuralInvariants) {
    CGlyphCache cache;
    const std::u16string text = u"茉莉花 Jasmine ÀéÇñ 好一朵美丽的";
    BuildGlyphCache(&cache, text.c_str(), nullptr);
    ASSERT_GT(cache.lineHeight, 20);
    EXPECT_EQ(int(text.size()) - 3, cache.glyphCount);  // the three spaces are empty cells, without slots
    EXPECT_GT(FindGlyphRect(cache, u' ').width, 0);
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 500);
    const GlyphRect& han = FindGlyphRect(cache, u'茉');
    EXPECT_GT(han.width, 16);  // a CJK face, not a box of a Latin-only font
    SaveAtlas(cache, "glyph_atlas.png");
    DestroyGlyphCache(&cache);
}

}  // namespace
