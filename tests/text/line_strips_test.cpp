// Line strips: text placement in both modes, the lyrics measurement, and the
// pitch bars with their pieces, on the flat test skin and a made-up font.
#include <cstring>

#include "base/mappings.h"
#include "core/frame_update.h"
#include "fake_glyph_source.h"
#include "imaging/capped_bar.h"
#include "test_random.h"
#include "imaging/skin.h"
#include "renderer_fixture.h"
#include "scenes/scenes.h"
#include "song_builder.h"
#include "test_files.h"
#include "text/glyph_cache.h"
#include "text/line_strips.h"
#include "text/note_strips.h"

namespace {

class LineStrips : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        ASSERT_TRUE(InitWithFlatSkin());
    }
    void UseFakeFont(const std::u16string& text) { UseGlyphSource(renderer, &font, text); }
    // The first column of a strip whose row has any opaque pixel.
    static int FirstInkColumn(const DibSurface& s) {
        for (int x = 0; x < s.width; ++x)
            for (int y = 0; y < s.height; ++y)
                if (SurfacePixel(s, x, y)[3]) return x;
        return -1;
    }
    FakeGlyphSource font;
};

TEST_F(LineStrips, GameWordsStartAtTheirTimeOrAfterThePreviousWord) {
    font.sizes[u'a'] = {22, 10};  // tiles 26 wide
    font.sizes[u'b'] = {22, 10};
    SongBuilder b(0, 100000);
    b.Line(4000, 6000).Word(4000, 4500, u"a").Word(5000, 5500, u"b");  // b at 1000 ms: x 150
    b.Line(7000, 9000).Word(7000, 7100, u"aaaaaaa").Word(7100, 7500, u"b");  // b after 182 px of a's
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    UseFakeFont(u"ab");
    PrepareModeLines(renderer, 0, 1);
    const LineStrip& first = FindStrip(renderer->gameTextStrips, 0);
    ASSERT_EQ(350, first.width);
    EXPECT_EQ(600, first.x);
    // dx = -1 puts the tile at pen + 1; its outline starts one column into the tile.
    EXPECT_EQ(2, FirstInkColumn(first));
    DibSurface second = first;  // look at columns from 150 on
    second.pixels = SurfacePixel(first, 150, 0);
    second.width = first.width - 150;
    EXPECT_EQ(2, FirstInkColumn(second));
    EXPECT_EQ(0, SurfacePixel(first, 140, 5)[3] | SurfacePixel(first, 149, 5)[3]);
    const LineStrip& next = FindStrip(renderer->gameTextStrips, 1);
    DibSurface tail = next;
    tail.pixels = SurfacePixel(next, 182, 0);
    tail.width = next.width - 182;
    EXPECT_EQ(2, FirstInkColumn(tail));  // 7 tiles of 26 pushed 'b' past its time position (15)
}

TEST_F(LineStrips, LyricsTextIsMeasuredWithTheGapAfterEveryWord) {
    renderer->SetMode(0);
    for (char16_t c : u"abcde") font.sizes[uint16_t(c)] = {22, 10};
    SongBuilder b(0, 100000);
    b.Line(1000, 5000).Word(1000, 2000, u"abc").Word(2000, 3000, u"de");
    b.Line(6000, 7000).Word(6000, 6500, u"  ").Word(6500, 7000, u" ");
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    UseFakeFont(u"abcde ");
    EXPECT_EQ(134, MeasureLineText(renderer->glyphCache.get(), renderer->layout.syllableGap, renderer->song.lines[0]));  // 3*26 + 2 + 2*26 + 2
    EXPECT_EQ(31, MeasureLineText(renderer->glyphCache.get(), renderer->layout.syllableGap, renderer->song.lines[1]));   // three spaces of 9 and two gaps
    PrepareModeLines(renderer, 0, 1);
    const LineStrip& unsung = FindStrip(renderer->lyricsUnsungStrips, 0);
    const LineStrip& sung = FindStrip(renderer->lyricsSungStrips, 0);
    EXPECT_EQ(134, unsung.width);
    EXPECT_EQ(134, sung.width);
    EXPECT_EQ(30, unsung.height);
    // The two looks hold the same glyphs in the same places, colour inverted.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 134; ++x) {
            const uint8_t* u = SurfacePixel(unsung, x, y);
            const uint8_t* s = SurfacePixel(sung, x, y);
            ASSERT_EQ(u[3], s[3]);
            if (u[3]) {
                ASSERT_EQ(255 - u[0], s[0]);
            }
        }
    const LineStrip& blank = FindStrip(renderer->lyricsUnsungStrips, 1);
    EXPECT_EQ(31, blank.width);
    for (int i = 0; i < blank.stride * blank.height; ++i) ASSERT_EQ(0, blank.pixels[i]);
}

// Words with spaces: each space (U+0020, U+00A0, U+3000) counts its advance in
// the measure, in the strips and in the singing progress, and its empty cell
// never clears the glyph it follows, even where that glyph's tile reaches over it.
TEST_F(LineStrips, SpacesKeepWordsApartInStripsMeasureAndProgress) {
    renderer->SetMode(0);
    for (char16_t c = u'a'; c <= u'z'; ++c) font.sizes[c] = {12, 14};  // tiles 16 wide
    font.origins[u't'] = {4, 12};  // its tile starts 4 right of the pen: 3 columns of ink over the next cell
    // Advances (made-up font: c % 7 + 5): U+0020 9, U+00A0 11, U+3000 8.  syllableGap 2.
    SongBuilder b(0, 100000);
    b.Line(1000, 5000)
        .Word(1000, 1400, u"hast ")
        .Word(1500, 1900, u"ge")
        .Word(2000, 2400, u"hofft\u00A0")
        .Word(2500, 2900, u"da\u3000")
        .Word(3000, 3400, u"es");
    b.Line(6000, 7000).Word(6000, 7000, u"hast");
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    UseFakeFont(CollectSongText(renderer->song));
    const int32_t words[] = {4 * 16 + 9, 2 * 16, 5 * 16 + 11, 2 * 16 + 8, 2 * 16};
    int32_t total = 0;
    for (int32_t w : words) total += w + 2;
    EXPECT_EQ(total, MeasureLineText(renderer->glyphCache.get(), renderer->layout.syllableGap, renderer->song.lines[0]));
    // The progress at each word's start is the sum of the words before it; halfway
    // through "hast " it is half of its width, the space included.
    const uint32_t starts[] = {1000, 1500, 2000, 2500, 3000};
    int32_t before = 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(before, LineProgress(renderer->glyphCache.get(), renderer->layout, renderer->song.lines[0], starts[i])) << i;
        before += words[i] + 2;
    }
    EXPECT_EQ(words[0] / 2, LineProgress(renderer->glyphCache.get(), renderer->layout, renderer->song.lines[0], 1200));
    EXPECT_EQ(total, LineProgress(renderer->glyphCache.get(), renderer->layout, renderer->song.lines[0], 4000));

    PrepareModeLines(renderer, 0, 1);
    const LineStrip& spaced = FindStrip(renderer->lyricsUnsungStrips, 0);
    const LineStrip& alone = FindStrip(renderer->lyricsUnsungStrips, 1);
    ASSERT_EQ(total, spaced.width);
    // "hast" is painted the same with its space after it as without: the ink of the
    // 't' reaching over the space's cell (columns 64..66) is kept.
    ASSERT_EQ(4 * 16 + 2, alone.width);
    int inkOverSpace = 0;
    for (int y = 0; y < alone.height; ++y) {
        for (int x = 0; x < alone.width; ++x)
            ASSERT_EQ(0, std::memcmp(SurfacePixel(alone, x, y), SurfacePixel(spaced, x, y), 4)) << x << "," << y;
        for (int x = 64; x < 67; ++x) inkOverSpace += SurfacePixel(spaced, x, y)[3] != 0;
    }
    EXPECT_GT(inkOverSpace, 10);
    // "ge" starts after the space and the gap: its first tile at pen 75, ink from 77.
    int firstInk = -1;
    for (int x = 67; x < 100 && firstInk < 0; ++x)
        for (int y = 0; y < spaced.height; ++y)
            if (SurfacePixel(spaced, x, y)[3]) {
                firstInk = x;
                break;
            }
    EXPECT_EQ(4 * 16 + 9 + 2 + 2, firstInk);
}

TEST_F(LineStrips, TilesStartingOutsideTheStripArePlacedAtItsEdge) {
    renderer->SetMode(0);
    font.sizes[u'q'] = {5, 30};  // origin y 28 above a 20 ascent: dy = 28 - 20 + 2 > 0
    font.sizes[u'e'] = {5, 5};
    SongBuilder b(0, 100000);
    b.Line(0, 1000).Word(0, 500, u"qe");
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    UseFakeFont(u"qe");
    PrepareModeLines(renderer, 0, 0);
    const LineStrip& s = FindStrip(renderer->lyricsUnsungStrips, 0);
    // The tile's top is row 0; its outline begins one row into it.
    auto inkInRow = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            if (SurfacePixel(s, x, y)[3]) return true;
        return false;
    };
    EXPECT_FALSE(inkInRow(0, 0, 9));
    EXPECT_TRUE(inkInRow(1, 0, 9));
    // 'e' stands lower: dy = (5 - 2) - 20 + 2 = -15, its tile starts at row 15.
    EXPECT_FALSE(inkInRow(15, 9, s.width));
    EXPECT_TRUE(inkInRow(16, 9, s.width));
}

// Flat pieces: caps 6 wide, middle 10 wide (the test skin).
TEST_F(LineStrips, BarsAreAssembledFromCapsAndMiddlePieces) {
    OwnedSurface strip;
    ASSERT_TRUE(CreateDibSurface(100, 30, &strip));
    const ImageRect* img = renderer->images;
    const ImageRect &l = img[kImageWaveYellowL], &m = img[kImageWaveYellowM], &r = img[kImageWaveYellowR];
    ASSERT_EQ(6, l.width);
    ASSERT_EQ(10, m.width);
    auto colourAt = [&](int x) { return SurfacePixel(strip, x, 3)[2]; };  // red byte tells the piece
    const uint8_t L = SurfacePixel(renderer->atlas, l.x, l.y)[2], M = SurfacePixel(renderer->atlas, m.x, m.y)[2],
                  R = SurfacePixel(renderer->atlas, r.x, r.y)[2];
    DrawBar(l, m, r, &strip, renderer->atlas, 10, 0, 35);
    for (int x = 10; x < 16; ++x) EXPECT_EQ(L, colourAt(x)) << x;
    for (int x = 16; x < 39; ++x) EXPECT_EQ(M, colourAt(x)) << x;  // 10 + 10 + 3 columns
    for (int x = 39; x < 45; ++x) EXPECT_EQ(R, colourAt(x)) << x;
    EXPECT_EQ(0, SurfacePixel(strip, 45, 3)[3]);
    EXPECT_EQ(0, SurfacePixel(strip, 9, 3)[3]);

    std::memset(strip.pixels, 0, size_t(strip.stride) * 30);
    DrawBar(l, m, r, &strip, renderer->atlas, 10, 0, 11);  // too short for both caps: 5 + 5
    for (int x = 10; x < 15; ++x) EXPECT_EQ(L, colourAt(x));
    for (int x = 15; x < 20; ++x) EXPECT_EQ(R, colourAt(x));
    EXPECT_EQ(0, SurfacePixel(strip, 20, 3)[3]);
    std::memset(strip.pixels, 0, size_t(strip.stride) * 30);
    DrawBar(l, m, r, &strip, renderer->atlas, 10, 0, 1);
    for (int i = 0; i < strip.stride * 30; ++i) ASSERT_EQ(0, strip.pixels[i]);
    // A middle piece of width 0 does not stall; a huge bar ends at the strip.
    DrawBar(l, ImageRect{}, r, &strip, renderer->atlas, 0, 0, 60);
    DrawBar(l, m, r, &strip, renderer->atlas, -5, 0, INT32_MAX);
}

// Caps narrower than half a short bar give only their own columns: with a cap at
// the end of the last row of an image, taking h columns from it would read past
// the end of the image (AddressSanitizer sees it in the sanitizer build).
TEST_F(LineStrips, ShortBarsTakeAtMostTheCapsOwnColumns) {
    OwnedSurface atlas;
    ASSERT_TRUE(CreateDibSurface(16, 2, &atlas));
    for (int x = 0; x < 16; ++x) {
        uint8_t* p = SurfacePixel(atlas, x, 1);
        p[2] = uint8_t(100 + x);  // red tells the column
        p[3] = 255;
    }
    const ImageRect wide{4, 1, 10, 1}, narrow{14, 1, 2, 1}, none{0, 0, 0, 0};
    struct Case {
        ImageRect left, right;
        std::vector<std::pair<int, int>> columns;  // frame x -> atlas column
    };
    // A bar of width 11 at x = 3: h = 5, so the bar ends at x + 2h = 13.
    const Case cases[] = {
        {narrow, wide, {{3, 14}, {4, 15}, {8, 9}, {9, 10}, {10, 11}, {11, 12}, {12, 13}}},
        {wide, narrow, {{3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {11, 14}, {12, 15}}},
    };
    for (const Case& c : cases) {
        OwnedSurface strip, frame;
        ASSERT_TRUE(CreateDibSurface(40, 4, &strip));
        ASSERT_TRUE(CreateDibSurface(40, 4, &frame));
        DrawBar(c.left, none, c.right, &strip, atlas, 3, 0, 11);
        DrawCappedBar(&frame, atlas, c.left, none, c.right, 3, 0, 11);
        std::vector<int> expected(40, 0);
        for (const auto& column : c.columns) expected[size_t(column.first)] = 100 + column.second;
        for (const DibSurface* s : {&strip, &frame}) {
            std::vector<int> reds;
            for (int x = 0; x < 40; ++x) reds.push_back(SurfacePixel(*s, x, 0)[3] ? SurfacePixel(*s, x, 0)[2] : 0);
            EXPECT_EQ(expected, reds);
        }
    }
}

// The walk over a bar's pieces against the plain walk that visits every middle
// piece: the same pieces at the same columns, on seeded random bars; and a bar
// two billion pixels long left of the window takes a handful of steps.
TEST(BarWalk, SkipsOnlyWhatCannotShow) {
    struct Piece {
        ImageRect rect;
        int64_t at;
        bool operator==(const Piece& o) const {
            return at == o.at && rect.x == o.rect.x && rect.y == o.rect.y && rect.width == o.rect.width &&
                   rect.height == o.rect.height;
        }
    };
    // Every middle piece visited, none skipped; only the drawing rules apply.
    auto plainWalk = [](const ImageRect& l, const ImageRect& m, const ImageRect& r, int64_t x, int64_t w,
                        int64_t limit) {
        std::vector<Piece> out;
        if (w < int64_t(l.width) + r.width) {
            ForEachBarPiece(l, m, r, x, w, limit, [&](const ImageRect& p, int64_t at) { out.push_back({p, at}); });
            return out;
        }
        if (x >= 0) out.push_back({l, x});
        int64_t column = x + l.width, remaining = w - l.width - r.width;
        while (remaining > 0 && m.width > 0) {
            const int64_t piece = std::min<int64_t>(remaining, m.width);
            if (column >= 0 && column < limit) out.push_back({ImageRect{m.x, m.y, int32_t(piece), m.height}, column});
            remaining -= m.width;
            column += piece;
        }
        if (remaining > 0) column += remaining;
        if (column >= 0) out.push_back({r, column});
        return out;
    };
    TestRandom rng(77);
    for (int i = 0; i < 20000; ++i) {
        const ImageRect l{1, 2, rng.Uniform(0, 8), 5}, m{10, 2, rng.Uniform(0, 12), 5}, r{30, 2, rng.Uniform(0, 8), 5};
        const int64_t x = rng.Uniform(-300, 300), w = rng.Uniform(-5, 600), limit = rng.Uniform(0, 400);
        std::vector<Piece> walked;
        ForEachBarPiece(l, m, r, x, w, limit, [&](const ImageRect& p, int64_t at) { walked.push_back({p, at}); });
        ASSERT_TRUE(plainWalk(l, m, r, x, w, limit) == walked) << "bar " << i;
    }
    int steps = 0;
    int64_t rightAt = -1;
    const int64_t longBar = int64_t(INT32_MAX) + 1000;  // from far left of the window to column 997
    ForEachBarPiece(ImageRect{0, 0, 3, 5}, ImageRect{3, 0, 1, 5}, ImageRect{4, 0, 3, 5}, INT32_MIN, longBar, 640,
                    [&](const ImageRect& p, int64_t at) {
                        ++steps;
                        if (p.x == 4) rightAt = at;
                    });
    EXPECT_LE(steps, 641);
    EXPECT_EQ(int64_t(INT32_MIN) + longBar - 3, rightAt);  // the right cap where the bar ends
}

TEST_F(LineStrips, NotePositionsInBothModes) {
    SongBuilder b(0, 100000, 40.0f, 80.0f);
    b.Line(1000, 5000).Note(3000, 3500, 60.0f).Note(1000, 5000, 90.0f);  // mid pitch; above the top
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ(32, PitchToY(60.0f, 40.0f, 80.0f, 87, 22));
    EXPECT_EQ(0, PitchToY(80.0f, 40.0f, 80.0f, 87, 22));
    EXPECT_EQ(65, PitchToY(40.0f, 40.0f, 80.0f, 87, 22));
    EXPECT_EQ(0, PitchToY(std::numeric_limits<float>::quiet_NaN(), 40.0f, 80.0f, 87, 22));
    const LineStrip& game = FindStrip(renderer->gameNoteStrips, 0);
    // 2000 ms after the line's start at 0.15 px/ms: x 300, 500 ms: w 75.
    const uint8_t* left = SurfacePixel(game, 300, 33);
    const uint8_t* beforeLeft = SurfacePixel(game, 299, 33);
    EXPECT_EQ(255, left[3]);
    EXPECT_EQ(0, beforeLeft[3]);
    EXPECT_EQ(255, SurfacePixel(game, 374, 33)[3]);
    EXPECT_EQ(0, SurfacePixel(game, 375, 33)[3]);
    EXPECT_EQ(0, SurfacePixel(game, 300, 31)[3]);  // the bar's top is row 32
    EXPECT_EQ(255, SurfacePixel(game, 300, 32)[3]);

    renderer->SetMode(0);
    SongBuilder whole(0, 100000, 40.0f, 80.0f);
    whole.Line(1000, 5000).Note(1000, 5000, 80.0f);
    ASSERT_TRUE(renderer->SetSong(whole.Build()));
    const LineStrip& lyrics = FindStrip(renderer->lyricsNoteStrips, 0);
    ASSERT_EQ(440, lyrics.width);
    EXPECT_EQ(255, SurfacePixel(lyrics, 0, 1)[3]);    // x = 0
    EXPECT_EQ(255, SurfacePixel(lyrics, 439, 1)[3]);  // w = S
}

}  // namespace
