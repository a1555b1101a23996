// The game scene: scrolling strips, the cursor's angle, colour and place, the
// cases without a cursor, and golden frames.
#include <cmath>
#include <limits>

#include "scene_fixture.h"
#include "base/mappings.h"
#include "scenes/scenes.h"

// Recorded from the scalar reference and checked by eye (the test writes game_<t>.png).
constexpr uint32_t kGoldenGame0 = 0x553204B6u, kGoldenGame1700 = 0x9BD16481u, kGoldenGame5200 = 0xCCC27EF8u;

namespace {

class GameScene : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        SetSong(TestSong());
    }
    // Whether any cursor colour (pure red, green or yellow of the flat skin) is in the pitch area.
    bool CursorColourAt(int x0, int x1, uint8_t r, uint8_t g) {
        for (int y = 107; y < 194; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = FramePixel(x, y);
                if (p[3] == 255 && p[2] == r && p[1] == g && p[0] == 0) return true;
            }
        return false;
    }
};

TEST_F(GameScene, StripsScrollUnderTheTimeMarker) {
    At(0, 0.0f);
    // Line 0 starts at 1000 ms: stripX 150, drawn at 150 + 150 = 300 at t = 0.
    const LineStrip& strip = FindStrip(renderer->gameNoteStrips, 0);
    EXPECT_EQ(150, strip.x);
    // Its first note (pitch 60, y 32) starts at the strip's left edge.
    EXPECT_EQ(255, FramePixel(300, 107 + 33)[3]);
    const uint8_t* before = FramePixel(299, 107 + 33);
    const uint8_t* bg = FramePixel(250, 107 + 33);
    EXPECT_EQ(0, std::memcmp(before, bg, 4));
    // 1000 ms later everything moved 150 pixels left.
    At(1000, 0.0f);
    EXPECT_EQ(255, FramePixel(150, 107 + 33)[3]);
    // Lyric text below the pitch area.
    bool text = false;
    for (int x = 150; x < 200; ++x)
        for (int y = 194; y < 224; ++y) text |= FramePixel(x, y)[3] == 255;
    EXPECT_TRUE(text);
}

TEST_F(GameScene, AStripStartingAtTheRightEdgeEndsTheWalk) {
    // At t, right = trunc(0.15 t) - 150 + 640; line 1's stripX is 750: right = 750 at t = 1733.
    // trunc(0.15 * 1734) = 260: left 110, right 750.  Line 1's note bar (pitch 55,
    // orange) would begin at frame x 640: nothing of it is drawn, and the last
    // column shows the background only.
    At(1734, 0.0f);
    ASSERT_EQ(750, FindStrip(renderer->gameNoteStrips, 1).x);
    for (int y = 107; y < 194; ++y) ASSERT_EQ(200, FramePixel(639, y)[3]) << y;
    At(1741, 0.0f);  // one pixel further: its first column appears at x 639
    bool bar = false;
    for (int y = 107; y < 194; ++y) bar |= FramePixel(639, y)[3] == 255;
    EXPECT_TRUE(bar);
}

TEST_F(GameScene, CursorAnglesByPixelsOffTheNote) {
    EXPECT_EQ(0, CursorAngle(10, 10));
    EXPECT_EQ(0, CursorAngle(-10, 10));
    EXPECT_EQ(1, CursorAngle(11, 10));
    EXPECT_EQ(331, CursorAngle(-11, 10));
    EXPECT_EQ(30, CursorAngle(45, 10));
    EXPECT_EQ(359, CursorAngle(-45, 10));
    EXPECT_EQ(30, CursorAngle(INT64_C(1) << 40, 10));
}

TEST_F(GameScene, TheCursorIsGreenOnPitchRedWhenLowYellowWhenHigh) {
    // Note 0 of line 0 (1000-1400) is at pitch 60: height 32.  One pitch unit is 65/40 px.
    At(1200, 60.0f);
    EXPECT_TRUE(CursorColourAt(100, 151, 0, 255));
    At(1200, 52.0f);  // 13 px low
    EXPECT_TRUE(CursorColourAt(100, 151, 255, 0));
    At(1200, 68.0f);  // 13 px high
    EXPECT_TRUE(CursorColourAt(100, 151, 255, 255));
    // The cursor's right edge is at the marker: nothing of it right of x 150.
    EXPECT_FALSE(CursorColourAt(151, 640, 255, 255));
}

TEST_F(GameScene, NoCursorWithoutVoiceNoteOrRoom) {
    const float silent[] = {1e-8f, 0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), 80.0f /* maxPitch: height 0 */};
    for (float pitch : silent) {
        At(1200, pitch);
        EXPECT_FALSE(CursorColourAt(0, 640, 0, 255) || CursorColourAt(0, 640, 255, 0) || CursorColourAt(0, 640, 255, 255))
            << pitch;
    }
    At(1450, 60.0f);  // between two notes of the line
    EXPECT_FALSE(CursorColourAt(0, 640, 0, 255) || CursorColourAt(0, 640, 255, 0));
    // A pitch below minPitch sits at the bottom of the pitch area: far too low, red.
    At(1200, 10.0f);
    EXPECT_TRUE(CursorColourAt(0, 151, 255, 0));
    // A marker left of the cursor's width: no cursor at all.
    renderer->layout.timeMarkerX = 30;
    At(1200, 60.0f);
    EXPECT_FALSE(CursorColourAt(0, 640, 0, 255));
}

TEST_F(GameScene, FramesAreComposedWithoutASongToo) {
    renderer->ClearSong();
    At(100, 60.0f);
    EXPECT_EQ(200, FramePixel(10, 120)[3]);  // the game background (alpha 200)
    EXPECT_EQ(0x32, FramePixel(10, 225)[3]);  // the dark band below
    EXPECT_EQ(0, FramePixel(10, 50)[3]);
}

// Every time operation composes one frame (the tick right after a record none),
// and presenting composes nothing: no frame is composed twice for one update.
TEST_F(GameScene, EachTimeUpdateComposesOneFrameAndPresentNone) {
    renderer->Show();
    const int presentsAfterShow = renderer->window->presentCount;
    renderer->framesThisSecond = 0;
    PlayState s = {};
    s.timeMs = 1000;
    s.pitch = 60.0f;
    renderer->UpdateTime(33, &s);
    EXPECT_EQ(1, renderer->framesThisSecond);
    renderer->Present();
    renderer->Present();
    EXPECT_EQ(1, renderer->framesThisSecond);
    EXPECT_EQ(presentsAfterShow + 2, renderer->window->presentCount);
    renderer->Tick(10);  // the tick after a record is skipped
    EXPECT_EQ(1, renderer->framesThisSecond);
    renderer->Tick(10);
    EXPECT_EQ(2, renderer->framesThisSecond);
    renderer->UpdateTimeF(0.033f, &s);
    renderer->TickF(0.01f);
    renderer->TickF(0.01f);
    EXPECT_EQ(4, renderer->framesThisSecond);
    renderer->SetPosition(5, 6);  // presents, composes nothing
    EXPECT_EQ(4, renderer->framesThisSecond);
    EXPECT_EQ(presentsAfterShow + 3, renderer->window->presentCount);
}

TEST_F(GameScene, GoldenFrames) {
    const std::pair<uint32_t, uint32_t> golden[] = {{0, kGoldenGame0}, {1700, kGoldenGame1700}, {5200, kGoldenGame5200}};
    ScoreInfo score = {0, 98760.0f, 5};
    renderer->SetScore(&score);
    uint32_t t = 0;
    for (const auto& g : golden) {
        for (; t <= g.first; t += 40) At(t, 58.0f + 10.0f * float(std::sin(t / 200.0)));
        SavePng("game_" + std::to_string(g.first));
        EXPECT_EQ(g.second, FrameCrc()) << "t=" << g.first << " crc=0x" << std::hex << FrameCrc();
    }
}

}  // namespace
