// The lyrics scene: line progress with its lead-in, the trail's snapping and runs,
// the trail at the very end of a lead-in, the score display, and golden frames.
#include <cmath>
#include <cstring>

#include "scene_fixture.h"
#include "core/frame_update.h"
#include "core/renderer_views.h"
#include "scenes/scenes.h"

// Recorded from the scalar reference and checked by eye (the test writes lyrics_<t>.png).
constexpr uint32_t kGoldenLyrics500 = 0x31CA3A84u, kGoldenLyrics1700 = 0x23FB951Fu, kGoldenLyrics4000 = 0x7FAFA86Fu,
                   kGoldenLyrics6200 = 0xFFB5C084u;

namespace {

class LyricsScene : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        renderer->SetMode(0);
        SetSong(TestSong());
    }
    const SongLine& Line(uint32_t i) const { return renderer->song.lines[i]; }
    int32_t Progress(const SongLine& line, uint32_t t) const {
        return LineProgress(renderer->glyphCache.get(), renderer->layout, line, t);
    }
    void AddPoint(TrailPoint p) {
        AddTrailPoint(SceneOf(*renderer, kLyricsMode), renderer->frame.width, &renderer->pitchTrail, p);
    }
};

TEST_F(LyricsScene, ProgressDuringTheLeadIn) {
    EXPECT_EQ(-90, Progress(Line(1), 4000));
    EXPECT_EQ(-180, Progress(Line(1), 3000));
    EXPECT_EQ(kNotShown, Progress(Line(1), 2999));
    EXPECT_EQ(0, Progress(Line(1), 4995));  // -(180 * 5 / 2000) truncates to 0
    EXPECT_EQ(kNotShown, Progress(Line(1), 7001));
}

TEST_F(LyricsScene, ProgressFollowsTheWords) {
    // Tiles of 16 (12 + 4), two per word, syllableGap 2.
    EXPECT_EQ(0, Progress(Line(0), 1000));
    EXPECT_EQ(16, Progress(Line(0), 1200));  // half of the first word
    EXPECT_EQ(34, Progress(Line(0), 1500));  // 32 + one gap
    EXPECT_EQ(68, Progress(Line(0), 2100));  // the pause: the next word's left edge
    EXPECT_EQ(68, Progress(Line(0), 2200));
    EXPECT_EQ(102, Progress(Line(0), 3000));  // after the last word: everything
}

TEST_F(LyricsScene, TrailPointsSnapToNotesWithinTheTolerance) {
    renderer->pitchTrail.clear();
    // Note 0: 1000-1400 of a 2000 ms line over S = 440: x 100 .. 188, pitch 60 at y 77 + 32.
    AddPoint(TrailPoint{120, 77 + 32 + 10, false});
    ASSERT_EQ(1u, renderer->pitchTrail.size());
    EXPECT_TRUE(renderer->pitchTrail[0].onPitch);
    EXPECT_EQ(109, renderer->pitchTrail[0].y);
    AddPoint(TrailPoint{130, 77 + 32 + 11, false});  // one pixel too far
    EXPECT_FALSE(renderer->pitchTrail.back().onPitch);
    // Note 2 (2200-2260) is 13 px wide; make a song with a 9 px note to check the limit.
    SongBuilder b(0, 20000, 40.0f, 80.0f);
    b.Line(1000, 3000).Word(1000, 3000, u"x").Note(1000, 1041, 60.0f);  // 41 * 440 / 2000 = 9 px
    SetSong(b.Build());
    renderer->currentLine = 0;
    renderer->pitchTrail.clear();
    AddPoint(TrailPoint{104, 109, false});
    EXPECT_FALSE(renderer->pitchTrail.back().onPitch);
}

TEST_F(LyricsScene, RunsKeepTwoPointsAndHeightChangesAddAStep) {
    renderer->pitchTrail.clear();
    AddPoint(TrailPoint{300, 150, false});
    AddPoint(TrailPoint{305, 150, false});
    AddPoint(TrailPoint{310, 150, false});
    ASSERT_EQ(2u, renderer->pitchTrail.size());
    EXPECT_EQ(310, renderer->pitchTrail[1].x);
    AddPoint(TrailPoint{310, 140, false});  // same x: nothing
    EXPECT_EQ(2u, renderer->pitchTrail.size());
    AddPoint(TrailPoint{315, 140, false});
    ASSERT_EQ(4u, renderer->pitchTrail.size());
    EXPECT_EQ(315, renderer->pitchTrail[1].x);  // the old run reaches the new x
    EXPECT_EQ(315, renderer->pitchTrail[2].x);
    EXPECT_EQ(150, renderer->pitchTrail[2].y);
    EXPECT_EQ(140, renderer->pitchTrail[3].y);
}

TEST_F(LyricsScene, AnOnPitchRunEndsAtItsNoteWhenLeftPastIt) {
    renderer->pitchTrail.clear();
    AddPoint(TrailPoint{150, 109, false});  // on note 0 (100..188)
    AddPoint(TrailPoint{180, 109, false});
    ASSERT_TRUE(renderer->pitchTrail.back().onPitch);
    AddPoint(TrailPoint{200, 60, false});  // off, past the note: last note's end is e
    const auto& trail = renderer->pitchTrail;
    ASSERT_EQ(4u, trail.size());
    EXPECT_EQ(trail[2].x, trail[3].x);
    EXPECT_EQ(trail[1].x, trail[2].x);
}

// In the last milliseconds of a lead-in the progress is already 0: no trail point
// may land outside the current line's extent.
TEST_F(LyricsScene, TheEndOfALeadInAddsNoPointOutsideTheLine) {
    At(4996, 60.0f);  // before line 1, after line 0: progress of line 1 is 0
    for (const TrailPoint& p : renderer->pitchTrail) {
        EXPECT_GE(p.x, 100);
        EXPECT_LE(p.x, 540);
    }
    At(999, 60.0f);  // line 0's lead-in end
    renderer->currentLine = 0;
    for (uint32_t t = 995; t <= 1003; ++t) At(t, 60.0f);
    for (const TrailPoint& p : renderer->pitchTrail) {
        EXPECT_GE(p.x, 100);
        EXPECT_LE(p.x, 540);
    }
}

TEST_F(LyricsScene, TrailIsDrawnWithTheOnPitchAndOffPitchPieces) {
    for (uint32_t t = 1000; t <= 1350; t += 10) At(t, 60.0f);
    // On pitch over note 0 at y 109: the blue trail's middle pieces (0, 0, 230).
    const uint8_t* p = FramePixel(140, 115);
    EXPECT_EQ(230, p[0]);
    EXPECT_EQ(0, p[2]);
    EXPECT_EQ(255, p[3]);
}

// Silence breaks the trail (no bar over a pause) and a pitch outside the song's
// range is held at the pitch area's edge: whatever the singer does, the trail
// never reaches the lyric rows or the band below.
TEST_F(LyricsScene, TheTrailStaysInThePitchAreaAndBreaksInPauses) {
    uint32_t t = 1000;
    for (; t < 1400; t += 10) At(t, 60.0f + float(t % 50) / 10.0f);
    for (; t < 1600; t += 10) At(t, t % 20 ? 0.0f : std::nanf(""));  // silence, NaN is no voice either
    for (; t < 2200; t += 10) At(t, t < 1900 ? 200.0f : 5.0f);       // above and below the range
    for (; t < 2900; t += 10) At(t, 1e-8f);                           // silent again
    const std::vector<uint8_t> withTrail(renderer->frame.pixels,
                                         renderer->frame.pixels + renderer->frame.stride * renderer->frame.height);
    ASSERT_FALSE(renderer->pitchTrail.empty());
    for (const TrailPoint& p : renderer->pitchTrail) {
        EXPECT_GE(p.y, 77);
        EXPECT_LE(p.y, 77 + 65);
    }
    renderer->pitchTrail.clear();
    ComposeFrame(renderer);  // the same frame without the trail (the state is silent: no point)
    int differing = 0;
    for (int y = 0; y < renderer->frame.height; ++y)
        for (int x = 0; x < renderer->frame.width; ++x) {
            const size_t at = (size_t(y) * size_t(renderer->frame.width) + size_t(x)) * 4;
            if (std::memcmp(&withTrail[at], FramePixel(x, y), 4) == 0) continue;
            ++differing;
            ASSERT_TRUE(y >= 77 && y < 77 + 87) << x << "," << y;  // inside the pitch area
            ASSERT_FALSE(x >= 190 && x < 228) << x << "," << y;    // nothing over the pause (x 186..232)
        }
    EXPECT_GT(differing, 1000);  // the trail is there
}

TEST_F(LyricsScene, NothingIsComposedWithoutALineOrAfterClearSong) {
    At(1200, 60.0f);
    const uint32_t crc = FrameCrc();
    renderer->ClearSong();
    At(1300, 60.0f);
    EXPECT_EQ(crc, FrameCrc());
}

// Digit colours of the flat skin: Number d has red 10 + 20d.
int DigitAt(const CGDIRendererImpl* r, int x, int y) {
    const uint8_t* p = SurfacePixel(r->frame, x, y);
    if (p[3] == 0) return -1;
    return (p[2] * 255 / p[3] - 10 + 10) / 20;  // un-premultiply, nearest digit
}

TEST_F(LyricsScene, ScoreShowsUpToFourDigitsAndTheGrade) {
    ScoreInfo score = {0, 123450.0f, 6};
    renderer->SetScore(&score);
    At(1200, 60.0f);
    // Digits are 18 wide: ones at 120, tens at 102, hundreds 84, thousands 66.
    EXPECT_EQ(5, DigitAt(renderer, 125, 15));
    EXPECT_EQ(4, DigitAt(renderer, 107, 15));
    EXPECT_EQ(3, DigitAt(renderer, 89, 15));
    EXPECT_EQ(2, DigitAt(renderer, 71, 15));
    EXPECT_EQ(-1, DigitAt(renderer, 53, 15));  // 12345 shows 2, 3, 4, 5
    // Grade 6 shows "Miss" (60 wide) at 640 - 150.
    EXPECT_NE(0, FramePixel(490, 10)[3]);
    EXPECT_NE(0, FramePixel(549, 10)[3]);
    EXPECT_EQ(0, FramePixel(550, 10)[3]);

    score = {0, -70.0f, 0};
    renderer->SetScore(&score);
    At(1210, 60.0f);
    EXPECT_EQ(0, DigitAt(renderer, 125, 15));  // negative: 0
    EXPECT_EQ(-1, DigitAt(renderer, 107, 15));
    EXPECT_EQ(0, FramePixel(550, 10)[3]);  // grade 0: "Miss" again
    score = {0, 70.0f, 5};
    renderer->SetScore(&score);
    At(1220, 60.0f);
    EXPECT_EQ(7, DigitAt(renderer, 125, 15));
    EXPECT_EQ(-1, DigitAt(renderer, 107, 15));
    EXPECT_NE(0, FramePixel(589, 10)[3]);  // "Perfect" is 100 wide
}

TEST_F(LyricsScene, ScoreFadesInHoldsAndFadesOut) {
    ScoreInfo score = {0, 10.0f, 3};
    renderer->SetScore(&score);
    std::vector<int> alphas, phases;
    for (int frame = 0; frame < 90; ++frame) {
        At(1200 + uint32_t(frame), 60.0f);
        alphas.push_back(renderer->scoreAlpha);
        phases.push_back(renderer->scorePhase);
    }
    EXPECT_EQ(130, alphas[0]);
    EXPECT_EQ(1, phases[29]);
    EXPECT_EQ(2, phases[30]);   // the 31st frame ends the fade-in
    EXPECT_EQ(255, alphas[30]);
    EXPECT_EQ(3, phases[61]);   // 31 frames of hold
    EXPECT_EQ(250, alphas[62]);
    EXPECT_EQ(155, alphas[81]);
    EXPECT_EQ(0, phases[82]);   // drawn once more on the frame it ends
    EXPECT_EQ(0, phases[89]);
}

TEST_F(LyricsScene, GradeBeyondTheWindowIsNotDrawn) {
    renderer->layout.gradeRight = 700;
    ScoreInfo score = {0, 10.0f, 3};
    renderer->SetScore(&score);
    At(1200, 60.0f);
    for (int x = 0; x < 640; ++x) ASSERT_EQ(0, FramePixel(x, 38)[3]) << x;  // below the digits
}

// Frames at chosen times, compared with checksums recorded once and looked at as PNGs.
TEST_F(LyricsScene, GoldenFrames) {
    const std::pair<uint32_t, uint32_t> golden[] = {
        {500, kGoldenLyrics500}, {1700, kGoldenLyrics1700}, {4000, kGoldenLyrics4000}, {6200, kGoldenLyrics6200}};
    ScoreInfo score = {0, 4560.0f, 4};
    renderer->SetScore(&score);
    uint32_t t = 0;
    for (const auto& g : golden) {
        for (; t <= g.first; t += 40)
            At(t, 58.0f + 8.0f * float(std::sin(t / 250.0)));
        SavePng("lyrics_" + std::to_string(g.first));
        EXPECT_EQ(g.second, FrameCrc()) << "t=" << g.first << " crc=0x" << std::hex << FrameCrc();
    }
}

}  // namespace
