// The scenes' fast composition against the plain one: whole frames of both modes,
// each composed twice from the same state, once with the reference pixel path
// forced (clear, blend every piece, premultiply the whole frame) and once the fast
// way (bases laid once, strips within their inked bounds, only the drawn columns
// premultiplied, the lyrics background with its note bars kept from frame to
// frame), compared byte for byte.  Seeded random skins (runs of
// transparent, opaque and translucent pixels, colour under alpha 0), backgrounds
// of other sizes or without their premultiplied form, layouts, window sizes,
// songs, times, pitches and score fades.  No renderer is needed, so the same test
// runs in the Win32 build.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/layout.h"
#include "fake_glyph_source.h"
#include "imaging/blit.h"
#include "imaging/cursor_frames.h"
#include "imaging/skin.h"
#include "pixel_harness.h"
#include "scenes/scenes.h"
#include "song_builder.h"
#include "test_random.h"
#include "text/line_strips.h"

namespace {

using harness::PixelPathScope;

// Runs of alpha 0 (with colour), 255 and one translucent value, each of one colour.
void FillRuns(DibSurface* s, TestRandom* rng) {
    const int64_t count = int64_t(s->width) * s->height;
    for (int64_t i = 0; i < count;) {
        const int64_t end = std::min<int64_t>(count, i + rng->Uniform(1, 30));
        const int kind = rng->Uniform(0, 3);
        const uint8_t pixel[4] = {rng->Byte(), rng->Byte(), rng->Byte(),
                                  uint8_t(kind == 0 ? 0 : kind == 1 ? 255 : rng->Byte())};
        for (; i < end; ++i) std::memcpy(s->pixels + i * 4, pixel, 4);
    }
}

// Everything a scene reads, made up from one seed.
struct World {
    explicit World(uint32_t seed) : rng(seed) {
        layout = DefaultLayout();
        layout.topMargin = Uniform(0, 90);
        layout.pitchAreaHeight = Uniform(12, 100);
        layout.lyricRowHeight = Uniform(8, 40);
        layout.noteHeight = Uniform(4, 30);
        layout.syllableGap = Uniform(0, 6);
        layout.firstLineLeft = Uniform(-20, 150);
        layout.secondLineRight = Uniform(-20, 150);
        layout.pitchAreaLeft = Uniform(-10, 120);
        layout.pitchAreaRight = Uniform(-10, 120);
        layout.pitchTolerance = Uniform(0, 20);
        layout.timeMarkerX = Uniform(-10, 250);
        layout.scoreX = Uniform(-20, 250);
        layout.scoreTop = Uniform(-5, 80);
        layout.gradeRight = Uniform(-40, 420);
        layout.gradeTop = Uniform(-5, 60);
        const float scales[] = {0.05f, 0.15f, 0.4f};
        layout.pixelsPerMs = scales[Uniform(0, 2)];
        width = Uniform(40, 360);
        height = int32_t(layout.topMargin + layout.pitchAreaHeight + 2 * layout.lyricRowHeight + Uniform(-30, 30));
        if (height < 1) height = 1;

        atlas = OwnedSurface(256, 192);
        FillRuns(&atlas, &rng);
        for (ImageRect& r : images) {
            const int kind = Uniform(0, 9);
            r.width = kind == 0 ? 0 : Uniform(1, 60);
            r.height = kind == 0 ? 0 : Uniform(1, 48);
            r.x = Uniform(0, atlas.width - r.width);
            r.y = Uniform(0, atlas.height - r.height);
        }
        for (int mode = 0; mode < 2; ++mode) MakeBackground(mode);
        BuildCursorFrames(atlas, images[kImageCursorGreen], images[kImageCursorRed], images[kImageCursorYellow],
                          &cursorStrip, &cursorIndex);

        MakeSong();
        BuildGlyphCacheWith(&glyphs, CollectSongText(*info).c_str(), &font);
    }
    ~World() {
        for (StripQueue& q : queues) ClearStripQueue(&q);
        ReleaseUnderlay(&underlay);
    }

    int Uniform(int lo, int hi) { return rng.Uniform(lo, hi); }

    // As initialisation tiles it, or random runs of another size now and then; its
    // premultiplied form is sometimes missing.
    void MakeBackground(int mode) {
        OwnedSurface& bg = backgrounds[mode];
        const int kind = Uniform(0, 3);
        if (kind == 0) {
            bg = OwnedSurface(width + Uniform(-8, 8), layout.pitchAreaHeight + Uniform(-5, 12));
            if (bg.pixels) FillRuns(&bg, &rng);
        } else {
            bg = OwnedSurface(width, layout.pitchAreaHeight);
            const ImageRect& tile = images[mode == kGameMode ? kImageGameBkg : kImageKtvBkg];
            for (int64_t x = 0; tile.width > 0 && x < bg.width; x += tile.width) CopyRect(&bg, x, 0, atlas, tile);
            if (mode == kGameMode && layout.timeMarkerX >= 0)
                CopyRect(&bg, layout.timeMarkerX, 0, atlas, images[kImageGameBkgSeperator]);
        }
        if (Uniform(0, 4) != 0) MakePremultipliedCopy(bg, &premultiplied[mode]);
    }

    void MakeSong() {
        song = SongBuilder(0, 60000, 40.0f, 80.0f);
        uint32_t t = uint32_t(Uniform(0, 1500));
        const int lines = Uniform(1, 7);
        for (int i = 0; i < lines; ++i) {
            const uint32_t start = t, end = start + uint32_t(Uniform(300, 3500));
            song.Line(start, end);
            const int words = Uniform(1, 6);
            for (int w = 0; w < words; ++w) {
                const uint32_t ws = start + (end - start) * uint32_t(w) / uint32_t(words);
                const uint32_t we = start + (end - start) * uint32_t(w + 1) / uint32_t(words) - uint32_t(Uniform(0, 40));
                std::u16string text;
                for (int k = Uniform(1, 4); k > 0; --k) text += char16_t(u'a' + Uniform(0, 25));
                song.Word(ws, we, text).Note(ws, we, float(Uniform(35, 85)));
            }
            t = end + uint32_t(Uniform(0, 2500));
        }
        info = song.Build();
    }

    SceneInputs Inputs(int mode) const {
        const bool game = mode == kGameMode;
        return SceneInputs{*info,
                           currentLine[mode],
                           &glyphs,
                           layout,
                           width,
                           backgrounds[mode],
                           premultiplied[mode],
                           atlas,
                           images,
                           cursorStrip,
                           cursorIndex,
                           queues[game ? 0 : 2],
                           queues[game ? 1 : 3],
                           queues[4]};
    }

    // The timeline's step before a frame: current line, kept and prepared strips.
    void Advance(int mode, uint32_t t) {
        PitchTrail unused;
        AdvanceCurrentLine(*info, t, &currentLine[mode], mode == kLyricsMode ? &trail : &unused);
        const bool game = mode == kGameMode;
        const ModeStrips strips = {mode, {&queues[game ? 0 : 2], &queues[game ? 1 : 3], game ? nullptr : &queues[4]}};
        const LineStripInputs in = {*info, layout, width, &glyphs, atlas, images};
        KeepWindowPrepared(in, strips, WantedLines(mode, currentLine[mode]));
    }

    ScoreDisplay Score() {
        return ScoreDisplay{scoreValue, scoreGrade, scorePhase, scoreAlpha, fadeIn, hold, fadeOut};
    }

    TestRandom rng;
    RendererLayout layout;
    int32_t width = 0, height = 0;
    OwnedSurface atlas, cursorStrip;
    ImageRect images[kSkinImageCount];
    OwnedSurface backgrounds[2], premultiplied[2];
    CursorIndex cursorIndex;
    SongBuilder song;
    SongInfo* info = nullptr;
    FakeGlyphSource font;
    CGlyphCache glyphs;
    StripQueue queues[5];  // game notes, game text, lyrics notes, lyrics unsung, lyrics sung
    uint32_t currentLine[2] = {0, 0};
    PitchTrail trail;
    int32_t scoreValue = 0, scoreGrade = 0, scorePhase = kScoreOff, fadeIn = 0, hold = 0, fadeOut = 0;
    uint8_t scoreAlpha = kScoreStartAlpha;
    CanvasUnderlay underlay;  // kept from frame to frame by the fast way
};

// One frame of `mode` composed the plain way and the fast way from the same state
// onto frames of different leftovers; the state after the fast one is kept.
void ExpectSameFrame(World* w, int mode, const PlayState& state, const std::string& where) {
    OwnedSurface frames[2] = {OwnedSurface(w->width, w->height), OwnedSurface(w->width, w->height)};
    ASSERT_TRUE(frames[0].pixels && frames[1].pixels);
    const PitchTrail trail = w->trail;
    const int32_t phase = w->scorePhase, fadeIn = w->fadeIn, hold = w->hold, fadeOut = w->fadeOut;
    const uint8_t alpha = w->scoreAlpha;
    bool composed[2];
    for (int p = 0; p < 2; ++p) {
        PixelPathScope scope(p ? PixelPath::kFast : PixelPath::kReference);
        FillRuns(&frames[p], &w->rng);  // whatever the previous frame left
        w->trail = trail;
        w->scorePhase = phase, w->fadeIn = fadeIn, w->hold = hold, w->fadeOut = fadeOut, w->scoreAlpha = alpha;
        const SceneInputs in = w->Inputs(mode);
        composed[p] = mode == kGameMode ? ComposeGameFrame(in, state, &frames[p], w->Score())
                                        : ComposeLyricsFrame(in, state, &frames[p], &w->trail, w->Score(),
                                                             p ? &w->underlay : nullptr);
    }
    ASSERT_EQ(composed[0], composed[1]) << where;
    if (!composed[0]) return;
    const size_t bytes = size_t(frames[0].stride) * size_t(frames[0].height);
    for (size_t i = 0; i < bytes; i += 4)
        ASSERT_EQ(0, std::memcmp(frames[0].pixels + i, frames[1].pixels + i, 4))
            << where << " pixel " << (i / 4) % size_t(w->width) << "," << (i / 4) / size_t(w->width)
            << " reference " << std::hex << *reinterpret_cast<const uint32_t*>(frames[0].pixels + i) << " fast "
            << *reinterpret_cast<const uint32_t*>(frames[1].pixels + i);
}

TEST(ScenePaths, FastFramesAreTheReferenceFrames) {
    for (uint32_t seed = 1; seed <= 14; ++seed) {
        World w(seed * 7919u);
        uint32_t t = 0;
        for (int step = 0; step < 36; ++step) {
            t += uint32_t(w.Uniform(0, 5) == 0 ? w.Uniform(500, 3000) : w.Uniform(0, 120));
            if (w.Uniform(0, 15) == 0) StartScoreDisplay(w.Score(), float(w.Uniform(-100, 200000)), w.Uniform(-2, 7));
            if (w.Uniform(0, 40) == 0) w.scorePhase = kScoreFadeOut;
            // The pitch area moves or narrows under strips made for the old one.
            if (w.Uniform(0, 10) == 0) w.layout.pitchAreaLeft += w.Uniform(-3, 3);
            if (w.Uniform(0, 10) == 0) w.layout.pitchAreaRight += w.Uniform(-3, 3);
            PlayState state = {};
            state.timeMs = t;
            const int voice = w.Uniform(0, 9);
            state.pitch = voice == 0 ? 0.0f : voice == 1 ? std::numeric_limits<float>::quiet_NaN()
                                                         : float(w.Uniform(30, 90)) + float(w.Uniform(0, 9)) / 10.0f;
            for (int mode : {kLyricsMode, kGameMode}) {
                w.Advance(mode, t);
                ExpectSameFrame(&w, mode, state,
                                "seed " + std::to_string(seed) + " step " + std::to_string(step) + " mode " +
                                    std::to_string(mode) + " t " + std::to_string(t));
                if (HasFatalFailure()) return;
            }
        }
    }
}

}  // namespace
