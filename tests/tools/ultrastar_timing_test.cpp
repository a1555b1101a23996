// Note times: the quarter-beat and version 2 rules, relative files with one
// offset per voice across voice changes, tempo changes, negative #GAP and #START.
// Every expected time is worked out here from the rule, ms = GAP + beat * 15000 / BPM
// (60000 / BPM from version 2 on), segment by segment where the tempo changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "song_files.h"
#include "test_random.h"

namespace {

using song_files::Load;
using song_files::QuarterBeatMs;
using song_files::Syllables;
using song_files::Warned;

TEST(UltraStarTiming, QuarterBeatsAndVersion2Beats) {
    auto l = Load("quarter", "#bpm:300,5\n#Gap:1000\n: 0 4 2 Hel\n: 4 4 4 lo \n- 10\n* 12 2 -3 you\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    const auto s = Syllables(l.song);
    EXPECT_EQ(QuarterBeatMs(1000, 300.5, 0), s[0].startMs);
    EXPECT_EQ(QuarterBeatMs(1000, 300.5, 4), s[0].endMs);
    EXPECT_EQ(QuarterBeatMs(1000, 300.5, 12), s[2].startMs);
    EXPECT_EQ(QuarterBeatMs(1000, 300.5, 14), s[2].endMs);
    // Version 2: the BPM is a beat rate as it stands, 4 beats at 120 per minute = 2 s.
    l = Load("version2", "#VERSION:2.0.0\n#BPM:120\n#GAP:250\n: 4 4 0 a\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(uint32_t(250 + 4 * 60000 / 120), l.song.lines[0].syllables[0].startMs);
    // Version 1 still counts quarter beats.
    l = Load("version1", "#VERSION:1.1.0\n#BPM:120\n: 4 4 0 a\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(QuarterBeatMs(0, 120, 4), l.song.lines[0].syllables[0].startMs);
}

TEST(UltraStarRelativeDuets, EveryVoiceKeepsItsOwnOffset) {
    // BPM 150: 100 ms a beat.  P1 line 1 at offset 0, "- 2 4" moves voice 1 to 4;
    // P2 starts at 0, "- 2 3" moves it to 3; back in P1 the offset is still 4.
    const std::string duet =
        "#BPM:150\n#GAP:500\n#RELATIVE:YES\n"
        "P1\n: 0 2 0 a\n- 2 4\n"
        "P2\n: 0 2 5 b\n- 2 3\n: 1 2 5 c\n"
        "P1\n: 4 2 0 d\n- 6 8\n: 0 1 0 e\nE\n";
    auto l = Load("relative_duet", duet, 1);
    ASSERT_TRUE(l.ok) << l.error;
    auto s = Syllables(l.song);
    ASSERT_EQ(3u, s.size());
    EXPECT_EQ(QuarterBeatMs(500, 150, 0), s[0].startMs);
    EXPECT_EQ(QuarterBeatMs(500, 150, 4 + 4), s[1].startMs);  // 1300, not 900 from a restarted offset
    EXPECT_EQ(QuarterBeatMs(500, 150, 4 + 8 + 0), s[2].startMs);
    EXPECT_EQ(u"d", s[1].text);
    EXPECT_EQ(2, l.song.voiceCount);
    l = Load("relative_duet", duet, 2);
    ASSERT_TRUE(l.ok) << l.error;
    s = Syllables(l.song);
    ASSERT_EQ(2u, s.size());
    EXPECT_EQ(QuarterBeatMs(500, 150, 0), s[0].startMs);
    EXPECT_EQ(QuarterBeatMs(500, 150, 3 + 1), s[1].startMs);
    EXPECT_EQ(5, s[1].pitch);
    // "- a" alone in a relative file moves the offset by a.
    l = Load("relative_one_number", "#BPM:150\n#RELATIVE:yes\n: 0 2 0 a\n- 10\n: 1 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(QuarterBeatMs(0, 150, 11), Syllables(l.song)[1].startMs);
}

TEST(UltraStarRelativeDuets, VoicesAndLinesOfDuets) {
    const std::string duet = "#BPM:100\nP1\n: 0 2 0 one\n- 4\n: 6 2 0 one2\nP2\n: 0 2 5 two\nP1\n: 10 2 0 one3\nE\n";
    auto l = Load("duet", duet, 1);
    ASSERT_TRUE(l.ok) << l.error;
    // A voice change ends no line: "one3" goes on the line of "one2".
    ASSERT_EQ(2u, l.song.lines.size());
    ASSERT_EQ(2u, l.song.lines[1].syllables.size());
    EXPECT_EQ(u"one3", l.song.lines[1].syllables[1].text);
    l = Load("duet", duet, 2);
    ASSERT_TRUE(l.ok) << l.error;
    ASSERT_EQ(1u, l.song.lines.size());
    EXPECT_EQ(u"two", l.song.lines[0].syllables[0].text);
    l = Load("duet", duet, 3);
    EXPECT_FALSE(l.ok);
    EXPECT_NE(std::string::npos, l.error.find("voice 3 has no notes"));
    // Old duets: P3 is sung by both voices.
    l = Load("duet_both", "#BPM:100\nP1\n: 0 2 0 a\nP2\n: 0 2 0 b\nP3\n: 4 2 0 both\nE\n", 2);
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(u"both", Syllables(l.song).back().text);
}

TEST(UltraStarTempoChanges, PiecewiseTiming) {
    // BPM 300 (50 ms a beat) until beat 8, then 150 (100 ms) until beat 20, then 600 (25 ms).
    const std::string file = "#BPM:300\n#GAP:1000\n: 0 4 0 a\n: 6 4 0 b\nB 8 150\n: 10 2 0 c\n- 13\n"
                             "B 20 600\n: 22 4 0 d\nE\n";
    const auto l = Load("tempo", file);
    ASSERT_TRUE(l.ok) << l.error;
    const auto s = Syllables(l.song);
    ASSERT_EQ(4u, s.size());
    const double g = 1000;
    EXPECT_EQ(uint32_t(g + 0), s[0].startMs);
    EXPECT_EQ(uint32_t(g + 4 * 50), s[0].endMs);
    EXPECT_EQ(uint32_t(g + 6 * 50), s[1].startMs);
    EXPECT_EQ(uint32_t(g + 8 * 50 + 2 * 100), s[1].endMs);  // the note spans the change
    EXPECT_EQ(uint32_t(g + 8 * 50 + 2 * 100), s[2].startMs);
    EXPECT_EQ(uint32_t(g + 8 * 50 + 12 * 100 + 2 * 25), s[3].startMs);
    EXPECT_EQ(uint32_t(g + 8 * 50 + 12 * 100 + 6 * 25), s[3].endMs);
    ASSERT_EQ(2u, l.song.tempoChanges.size());
    EXPECT_EQ(5u, l.song.tempoChanges[0].sourceLine);
}

TEST(UltraStarTempoChanges, OrderBeatZeroDecimalsAndRelativeFiles) {
    // Changes listed out of order are applied in beat order; one at beat 0 replaces #BPM.
    auto l = Load("tempo_order", "#BPM:1\nB 10 300\nB 0 150\n: 0 2 0 a\n: 12 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    auto s = Syllables(l.song);
    EXPECT_EQ(0u, s[0].startMs);
    EXPECT_EQ(uint32_t(10 * 100 + 2 * 50), s[1].startMs);
    // Decimal BPM with a comma: 15000 / 187.5 = 80 ms a beat after beat 4.
    l = Load("tempo_decimal", "#BPM:300\n: 0 2 0 a\nB 4 187,5\n: 6 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(uint32_t(4 * 50 + 2 * 80), Syllables(l.song)[1].startMs);
    // In a relative file the change's beat counts from the line's offset: 10 + 2.
    l = Load("tempo_relative", "#BPM:300\n#RELATIVE:yes\n: 0 2 0 a\n- 4 10\nB 2 150\n: 4 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(uint32_t(12 * 50 + 2 * 100), Syllables(l.song)[1].startMs);
    // Version 2 segments are whole beats per minute: 60000 / 120 = 500 ms, then 60000 / 60.
    l = Load("tempo_v2", "#VERSION:2.0.0\n#BPM:120\n: 0 1 0 a\nB 2 60\n: 3 1 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(uint32_t(2 * 500 + 1 * 1000), Syllables(l.song)[1].startMs);
}

// Random tempo maps against the rule summed beat by beat.
TEST(UltraStarTempoChanges, RandomTempoMapsMatchBeatByBeatSums) {
    TestRandom rng(14);
    for (int round = 0; round < 40; ++round) {
        const int bpm0 = 100 + int(rng() % 500), gap = int(rng() % 3000);
        std::string file = "#BPM:" + std::to_string(bpm0) + "\n#GAP:" + std::to_string(gap) + "\n";
        // The BPM of each beat: that of the change with the greatest beat at or
        // before it (the later line when two share a beat), in whatever order they are listed.
        std::vector<int> bpmAt(400, bpm0), changedAt(400, -1);
        for (int c = 0; c < 5; ++c) {
            const int beat = 1 + int(rng() % 300), bpm = 50 + int(rng() % 900);
            file += "B " + std::to_string(beat) + " " + std::to_string(bpm) + "\n";
            for (int b = beat; b < 400; ++b)
                if (changedAt[size_t(b)] <= beat) {
                    changedAt[size_t(b)] = beat;
                    bpmAt[size_t(b)] = bpm;
                }
        }
        std::vector<int> starts;
        for (int n = 0, beat = 0; n < 30; ++n) {
            beat += 1 + int(rng() % 10);
            starts.push_back(beat);
            file += ": " + std::to_string(beat) + " 1 0 x\n";
        }
        const auto l = Load("tempo_random", file + "E\n");
        ASSERT_TRUE(l.ok) << l.error;
        const auto s = Syllables(l.song);
        ASSERT_EQ(starts.size(), s.size());
        for (size_t n = 0; n < starts.size(); ++n) {
            double ms = gap;
            for (int b = 0; b < starts[n]; ++b) ms += 15000.0 / bpmAt[size_t(b)];
            EXPECT_NEAR(ms, double(s[n].startMs), 0.5 + 1e-6) << file;
        }
    }
}

TEST(UltraStarTiming, NegativeGapStartsAtZeroWithAWarning) {
    // GAP -500 at BPM 150: beat 2 would be at -300 ms, beat 6 at +100 ms.
    const auto l = Load("negative_gap", "#BPM:150\n#GAP:-500\n: 2 2 0 early\n: 6 2 0 late\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    const auto s = Syllables(l.song);
    EXPECT_EQ(0u, s[0].startMs);
    EXPECT_EQ(0u, s[0].endMs);  // -100 ms
    EXPECT_EQ(QuarterBeatMs(-500, 150, 6), s[1].startMs);
    EXPECT_TRUE(Warned(l.song, {"line 3", "-300 ms", "starts at 0"}));
    EXPECT_FALSE(Warned(l.song, {"line 4"}));
}

TEST(UltraStarTiming, StartAndEndHeaders) {
    auto l = Load("start_seconds", "#BPM:100\n#START:12,5\n#END:90000\n: 0 1 0 a\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(12500u, l.song.startMs);  // seconds before version 2
    EXPECT_EQ(90000u, l.song.endMs);    // milliseconds
    l = Load("start_ms", "#VERSION:2.0.0\n#BPM:100\n#START:1500\n: 0 1 0 a\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(1500u, l.song.startMs);  // milliseconds from version 2 on
}

}  // namespace
