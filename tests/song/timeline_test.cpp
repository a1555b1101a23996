// The timeline: the current line through pauses and jumps, the window of strips
// in each mode, early returns before and after the song, strip sizes, pruning,
// and what SetSong and ClearSong do to all of it.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/frame_update.h"
#include "renderer_fixture.h"
#include "song/timeline.h"
#include "song_builder.h"
#include "text/line_strips.h"
#include "text/strip_queue.h"

namespace {

std::vector<uint32_t> Lines(const StripQueue& q) {
    std::vector<uint32_t> out;
    for (const LineStrip& s : q) out.push_back(StripLineIndex(s));
    return out;
}

// Ten lines of two seconds with a second of pause between them.
SongBuilder TenLines() {
    SongBuilder b(0, 40000);
    for (uint32_t i = 0; i < 10; ++i) b.Line(1000 + i * 3000, 3000 + i * 3000).Note(1000 + i * 3000, 2000 + i * 3000, 60);
    return b;
}

class Timeline : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        ASSERT_TRUE(InitDefault());
    }
};

TEST_F(Timeline, PauseKeepsTheEndedLineUntilTheNextBegins) {
    SongBuilder b(0, 10000);
    b.Line(1000, 3000).Line(5000, 7000);
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_TRUE(UpdateTimeline(renderer, 500));
    EXPECT_EQ(0u, renderer->currentLine);
    renderer->pitchTrail.push_back(TrailPoint{1, 2, true});
    EXPECT_TRUE(UpdateTimeline(renderer, 2000));
    EXPECT_EQ(1u, renderer->pitchTrail.size());  // same line: the trail stays
    EXPECT_TRUE(UpdateTimeline(renderer, 4000));
    EXPECT_EQ(0u, renderer->currentLine);
    EXPECT_TRUE(renderer->pitchTrail.empty());  // the line is over
    EXPECT_TRUE(UpdateTimeline(renderer, 5000));
    EXPECT_EQ(1u, renderer->currentLine);
}

TEST_F(Timeline, GameWindowIsPreviousCurrentAndNextTwo) {
    SongBuilder b = TenLines();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), Lines(renderer->gameNoteStrips));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), Lines(renderer->gameTextStrips));
    ASSERT_TRUE(UpdateTimeline(renderer, 1000 + 5 * 3000));  // line 5 begins
    EXPECT_EQ(5u, renderer->currentLine);
    EXPECT_EQ((std::vector<uint32_t>{4, 5, 6, 7}), Lines(renderer->gameNoteStrips));
    EXPECT_EQ((std::vector<uint32_t>{4, 5, 6, 7}), Lines(renderer->gameTextStrips));
    // Near the end the window holds fewer lines.
    ASSERT_TRUE(UpdateTimeline(renderer, 1000 + 9 * 3000));
    EXPECT_EQ((std::vector<uint32_t>{8, 9}), Lines(renderer->gameNoteStrips));
}

TEST_F(Timeline, LyricsWindowIsCurrentAndNextThree) {
    renderer->SetMode(0);
    SongBuilder b = TenLines();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), Lines(renderer->lyricsNoteStrips));
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
    ASSERT_TRUE(UpdateTimeline(renderer, 1000 + 5 * 3000));
    EXPECT_EQ((std::vector<uint32_t>{5, 6, 7, 8}), Lines(renderer->lyricsNoteStrips));
    // Without a glyph cache there is no text to measure: no text strips.
    EXPECT_TRUE(renderer->lyricsUnsungStrips.empty());
    EXPECT_EQ(440, renderer->lyricsNoteStrips.front().width);
    EXPECT_EQ(87, renderer->lyricsNoteStrips.front().height);
}

TEST_F(Timeline, AJumpOverSeveralLinesReleasesEverythingOutside) {
    SongBuilder b = TenLines();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    renderer->pitchTrail.push_back(TrailPoint{});
    ASSERT_TRUE(UpdateTimeline(renderer, 1500 + 7 * 3000));
    EXPECT_EQ(7u, renderer->currentLine);
    EXPECT_TRUE(renderer->pitchTrail.empty());
    EXPECT_EQ((std::vector<uint32_t>{6, 7, 8, 9}), Lines(renderer->gameNoteStrips));
    // Time never moves the current line back.
    ASSERT_TRUE(UpdateTimeline(renderer, 1500));
    EXPECT_EQ(7u, renderer->currentLine);
}

TEST_F(Timeline, BeforeTheStartAndAfterTheEnd) {
    SongBuilder b(2000, 9000);
    b.Line(3000, 4000).Line(5000, 6000);
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_FALSE(UpdateTimeline(renderer, 1000));  // strips exist already
    EXPECT_EQ(2u, renderer->gameNoteStrips.size());
    EXPECT_FALSE(UpdateTimeline(renderer, 9001));
    EXPECT_EQ(2u, renderer->gameNoteStrips.size());
    EXPECT_TRUE(UpdateTimeline(renderer, 9000));
    EXPECT_EQ(0u, renderer->currentLine);  // both lines ended unseen: it only moves onto a sung line
    // Times are unsigned: 0x80000000 is late, not early.
    EXPECT_FALSE(UpdateTimeline(renderer, 0x80000000u));
    // In a mode whose strips do not exist yet, a time before the start prepares them.
    renderer->SetMode(0);
    EXPECT_TRUE(UpdateTimeline(renderer, 1000));
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), Lines(renderer->lyricsNoteStrips));
}

TEST_F(Timeline, GameStripSizesFollowTheLineTimes) {
    SongBuilder b(0, 10000);
    b.Line(4000, 6000);
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    ASSERT_EQ(1u, renderer->gameNoteStrips.size());
    const LineStrip& note = renderer->gameNoteStrips.front();
    EXPECT_EQ(350, note.width);
    EXPECT_EQ(87, note.height);
    EXPECT_EQ(600, note.x);
    EXPECT_EQ(0, note.y);
    const LineStrip& text = FindStrip(renderer->gameTextStrips, 0);
    EXPECT_EQ(350, text.width);
    EXPECT_EQ(30, text.height);
    EXPECT_EQ(600, text.x);
    EXPECT_TRUE(IsNotFound(FindStrip(renderer->gameTextStrips, 1)));
    EXPECT_EQ(-1, FindStrip(renderer->gameTextStrips, 7).tag);
}

TEST_F(Timeline, UnreasonableScalesCreateNoEnormousStrips) {
    SongBuilder b(0, 0xFFFFFFFFu);
    b.Line(0, 0xFFFFFFF0u).Line(0xFFFFFFF0u, 0xFFFFFFFFu);
    const float scales[] = {1e9f, -0.15f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(), 0.0f};
    for (float scale : scales) {
        renderer->layout.pixelsPerMs = scale;
        ASSERT_TRUE(renderer->SetSong(b.Build()));
        for (const LineStrip& s : renderer->gameNoteStrips) {
            EXPECT_LE(int64_t(s.stride) * s.height, kMaxStripBytes);
            EXPECT_GE(s.width, 1);
        }
        UpdateTimeline(renderer, 0xFFFFFFF5u);
    }
    // NaN scales to 0 pixels: the line keeps its 50-pixel margin.
    renderer->layout.pixelsPerMs = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ(50, renderer->gameNoteStrips.front().width);
    EXPECT_EQ(0, renderer->gameNoteStrips.front().x);
}

// Preparation clamps to the song and makes only what a queue lacks: asking for a
// line that has its strips again adds nothing.
TEST_F(Timeline, PreparationClampsToTheSongAndNeverDuplicates) {
    SongBuilder b(0, 10000);
    b.Line(1000, 2000).Line(3000, 4000);
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), Lines(renderer->gameNoteStrips));
    PrepareModeLines(renderer, 5, 9);
    PrepareModeLines(renderer, 1, 0);
    EXPECT_EQ(2u, renderer->gameNoteStrips.size());
    PrepareModeLines(renderer, 1, 0xFFFFFFFFu);  // clamped to line 1, which is there
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), Lines(renderer->gameNoteStrips));
    EXPECT_EQ((std::vector<uint32_t>{0, 1}), Lines(renderer->gameTextStrips));
}

TEST_F(Timeline, PruningReportsTheMissingLines) {
    StripQueue q;
    for (uint32_t line : {2u, 9u, 4u}) {
        LineStrip s;
        ASSERT_TRUE(CreateDibSurface(2, 2, &s));
        s.tag = int32_t(line);
        q.push_back(s);
    }
    uint32_t missing = PruneStripQueue(&q, LineRange{2, 5});
    EXPECT_EQ((std::vector<uint32_t>{2, 4}), Lines(q));
    EXPECT_EQ(0b1010u, missing);  // lines 3 and 5
    missing = PruneStripQueue(&q, LineRange{2, 4});
    EXPECT_EQ(0b010u, missing);
    missing = PruneStripQueue(&q, LineRange{0xFFFFFFFEu, 1});  // wrapped: empty window
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(0u, missing);
    // Strips come back in line order whatever order they are made in.
    for (uint32_t line : {7u, 5u, 6u, 5u}) {
        LineStrip s;
        ASSERT_TRUE(CreateDibSurface(2, 2, &s));
        s.tag = int32_t(line);
        InsertStrip(&q, s);
    }
    EXPECT_EQ((std::vector<uint32_t>{5, 5, 6, 7}), Lines(q));
    ClearStripQueue(&q);
}

TEST_F(Timeline, ClearSongEmptiesEverythingAndLaterTimesReturnAtOnce) {
    SongBuilder b = TenLines();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    renderer->ClearSong();
    EXPECT_EQ(0xFFFFFFFFu, renderer->currentLine);
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
    EXPECT_EQ(nullptr, renderer->song.lines);
    EXPECT_TRUE(UpdateTimeline(renderer, 0));
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
    EXPECT_FALSE(UpdateTimeline(renderer, 1));
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    EXPECT_EQ(0u, renderer->currentLine);
}

TEST_F(Timeline, SetSongWithoutLinesChangesNothing) {
    SongBuilder b = TenLines();
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    ASSERT_TRUE(UpdateTimeline(renderer, 1000 + 5 * 3000));
    SongInfo none = b.Info();
    none.lines = nullptr;
    EXPECT_FALSE(renderer->SetSong(&none));
    EXPECT_EQ(5u, renderer->currentLine);
    EXPECT_EQ(10u, renderer->song.lineCount);
    EXPECT_EQ(4u, renderer->gameNoteStrips.size());
}

TEST_F(Timeline, ARejectedSongLeavesAnEmptySongThatShowsNothing) {
    SongBuilder good = TenLines();
    ASSERT_TRUE(renderer->SetSong(good.Build()));
    SongBuilder bad(0, 5000);
    bad.Line(0, 1000).Word(0, 500, std::u16string(4097, u'a'));
    EXPECT_FALSE(renderer->SetSong(bad.Build()));
    EXPECT_EQ(nullptr, renderer->song.lines);
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
    PlayState s = {};
    s.timeMs = 0;
    renderer->UpdateTime(0, &s);
    s.timeMs = 300;
    renderer->UpdateTime(300, &s);
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
}

}  // namespace

namespace {

size_t Largest(const CGDIRendererImpl* r) {
    size_t most = 0;
    for (const StripQueue* q : {&r->gameNoteStrips, &r->gameTextStrips, &r->lyricsNoteStrips,
                                &r->lyricsUnsungStrips, &r->lyricsSungStrips})
        most = std::max(most, q->size());
    return most;
}

// A strip one queue cannot hold (a window narrower than the pitch area's margins in
// lyrics mode; a 25-minute line whose bar strip is over the size cap in game mode)
// must never make the other queues grow, nor cost an allocation per frame.
TEST_F(Timeline, RefusedStripsNeverPileUpNorAllocateEveryFrame) {
    SongBuilder b(0, 4000000);
    b.Line(1000, 1501000).Word(1000, 2000, u"la").Word(2000, 3000, u"li").Note(1000, 3000, 60);
    b.Line(1600000, 1610000).Word(1600000, 1601000, u"lo").Note(1600000, 1601000, 60);
    for (int mode : {kLyricsMode, kGameMode}) {
        renderer->Uninit();
        ASSERT_TRUE(renderer->InitWithSize("skins/none", host, 0, 0, 200, 230, mode, false));
        ASSERT_TRUE(renderer->SetSong(b.Build()));
        PlayState s = {};
        s.timeMs = 5000;
        renderer->UpdateTime(0, &s);
        const int64_t created = platform::BitmapsCreated(), live = platform::LiveBitmaps();
        for (int frame = 0; frame < 3000; ++frame) {
            s.timeMs += 40;
            renderer->UpdateTime(40, &s);
            ASSERT_LE(Largest(renderer), kWindowLines) << "mode " << mode << " frame " << frame;
        }
        EXPECT_EQ(created, platform::BitmapsCreated()) << "mode " << mode;
        EXPECT_EQ(live, platform::LiveBitmaps()) << "mode " << mode;
        // The queue that cannot hold the current line has nothing of it.
        if (mode == kLyricsMode) {
            EXPECT_TRUE(renderer->lyricsNoteStrips.empty());
            EXPECT_EQ(2u, renderer->lyricsUnsungStrips.size());
        } else {
            EXPECT_TRUE(IsNotFound(FindStrip(renderer->gameNoteStrips, 0)));
            EXPECT_FALSE(IsNotFound(FindStrip(renderer->gameTextStrips, 0)));
        }
    }
}

}  // namespace
