// The UltraStar importer on real-shaped files: header forms, encodings, line
// breaks, duets, relative timing, malformed lines, and the time formula.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_files.h"
#include "ultrastar/ultrastar.h"

namespace {

using ultrastar::NoteKind;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

bool ParseText(const std::string& text, ultrastar::Song* song, std::string* error, int voice = 1) {
    return ultrastar::Parse(Bytes(text), voice, song, error);
}

TEST(UltraStar, TimesFollowGapAndQuarterBeatBpm) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("#TITLE:Test\n#bpm:300,5\n#Gap:1000\n: 0 4 2 Hel\n: 4 4 4 lo \n- 10\n* 12 2 -3 you\nE\n",
                          &song, &error))
        << error;
    EXPECT_EQ("Test", song.Title());
    EXPECT_DOUBLE_EQ(300.5, song.bpm);
    ASSERT_EQ(2u, song.lines.size());
    // ms = GAP + beat * 15000 / BPM
    EXPECT_EQ(1000u, song.lines[0].syllables[0].startMs);
    EXPECT_EQ(uint32_t(std::lround(1000 + 4 * 15000 / 300.5)), song.lines[0].syllables[0].endMs);
    EXPECT_EQ(uint32_t(std::lround(1000 + 12 * 15000 / 300.5)), song.lines[1].syllables[0].startMs);
    EXPECT_EQ(NoteKind::Golden, song.lines[1].syllables[0].kind);
    EXPECT_EQ(u"lo ", song.lines[0].syllables[1].text);  // the trailing space is kept
    // In the SongInfo: MIDI pitches, a margin around them, lines spanning their notes.
    EXPECT_EQ(62.0f, song.info.lines[0].notes[0].pitch);
    EXPECT_EQ(57.0f - 3.0f, song.info.minPitch);
    EXPECT_EQ(64.0f + 3.0f, song.info.maxPitch);
    EXPECT_EQ(song.lines[0].syllables[0].startMs, song.info.lines[0].startTime);
    EXPECT_EQ(song.lines[0].syllables[1].endMs, song.info.lines[0].endTime);
    EXPECT_EQ(2u, song.info.lines[0].wordCount);
}

TEST(UltraStar, Version2UsesTheBpmAsItStands) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("#VERSION:2.0.0\n#BPM:120\n#GAP:0\n: 4 4 0 a\nE\n", &song, &error)) << error;
    EXPECT_EQ(2000u, song.lines[0].syllables[0].startMs);  // 4 beats at 120 per minute
}

TEST(UltraStar, ByteOrderMarkAndCp1252Text) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("\xEF\xBB\xBF#BPM:200\n: 0 2 0 \xE8\x8C\x89\n: 2 2 0 caf\xC3\xA9\nE\n", &song, &error));
    EXPECT_EQ(u"茉", song.lines[0].syllables[0].text);
    EXPECT_EQ(u"café", song.lines[0].syllables[1].text);
    // Not UTF-8: read as CP1252 (0xE9 é, 0x80 €).
    ASSERT_TRUE(ParseText("#BPM:200\n: 0 2 0 caf\xE9\n: 2 2 0 \x80\nE\n", &song, &error));
    EXPECT_EQ(u"café", song.lines[0].syllables[0].text);
    EXPECT_EQ(u"€", song.lines[0].syllables[1].text);
    // #ENCODING says so even when the bytes would pass as UTF-8.
    ASSERT_TRUE(ParseText("#ENCODING:CP1252\n#BPM:200\n: 0 2 0 \xC3\xA9\nE\n", &song, &error));
    EXPECT_EQ(u"Ã©", song.lines[0].syllables[0].text);
}

TEST(UltraStar, MalformedFilesNameTheLineAndTheProblem) {
    ultrastar::Song song;
    std::string error;
    EXPECT_FALSE(ParseText("#TITLE:x\n: 0 2 0 a\n", &song, &error));
    EXPECT_EQ("missing #BPM header", error);
    EXPECT_FALSE(ParseText("#BPM:0\n: 0 2 0 a\n", &song, &error));
    EXPECT_NE(std::string::npos, error.find("positive"));
    EXPECT_FALSE(ParseText("#BPM:-5\n: 0 2 0 a\n", &song, &error));
    EXPECT_FALSE(ParseText("#BPM:100\n: 0 2 0 a\n: 4 2\nE\n", &song, &error));
    EXPECT_EQ(0u, error.find("line 3: a note needs a start, a duration and a pitch"));
    EXPECT_FALSE(ParseText("#BPM:100\nX 1 2 3 a\n", &song, &error));
    EXPECT_EQ(0u, error.find("line 2: unknown line type"));
    EXPECT_FALSE(ParseText("#BPM:100\n- abc\n", &song, &error));
    EXPECT_EQ(0u, error.find("line 2:"));
    EXPECT_FALSE(ParseText("#BPM:100\nE\n", &song, &error));
    EXPECT_EQ("the file has no notes", error);
}

TEST(UltraStar, EndIgnoresEverythingAfterIt) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("#BPM:100\n: 0 2 0 a\nE trailing junk\n: nonsense\n\x01\x02", &song, &error)) << error;
    EXPECT_EQ(1u, song.lines.size());
}

TEST(UltraStar, DuetImportsTheChosenVoice) {
    const std::string duet = "#BPM:100\nP1\n: 0 2 0 one\n- 4\n: 6 2 0 one2\nP2\n: 0 2 5 two\nE\n";
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText(duet, &song, &error, 1));
    ASSERT_EQ(2u, song.lines.size());
    EXPECT_EQ(u"one2", song.lines[1].syllables[0].text);
    ASSERT_TRUE(ParseText(duet, &song, &error, 2));
    ASSERT_EQ(1u, song.lines.size());
    EXPECT_EQ(u"two", song.lines[0].syllables[0].text);
    EXPECT_EQ(5, song.lines[0].syllables[0].pitch);
}

TEST(UltraStar, RelativeBeatsRestartAtEveryLine) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("#BPM:150\n#RELATIVE:yes\n: 0 2 0 a\n- 4 10\n: 0 2 0 b\nE\n", &song, &error)) << error;
    ASSERT_EQ(2u, song.lines.size());
    EXPECT_EQ(1000u, song.lines[1].syllables[0].startMs);  // beat 10 at 100 ms per beat
}

TEST(UltraStar, FreestyleWordsHaveNoNotes) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ParseText("#BPM:100\nF 0 2 0 la\nR 2 2 0 rap\nG 4 2 0 gold\nE\n", &song, &error));
    EXPECT_EQ(3u, song.info.lines[0].wordCount);
    EXPECT_EQ(2u, song.info.lines[0].noteCount);
    EXPECT_EQ(NoteKind::Rap, song.lines[0].syllables[1].kind);
    EXPECT_EQ(NoteKind::GoldenRap, song.lines[0].syllables[2].kind);
}

TEST(UltraStar, TheBundledSampleSong) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ultrastar::Load(test_files::SourceDir() + "/songs/jasmine.txt", 1, &song, &error)) << error;
    EXPECT_EQ(12u, song.info.lineCount);  // eight lines of "茉莉花", four of the German verse
    bool golden = false, freestyle = false, cjk = false, accent = false;
    for (const auto& line : song.lines)
        for (const auto& s : line.syllables) {
            golden |= s.kind == NoteKind::Golden;
            freestyle |= s.kind == NoteKind::Freestyle;
            for (char16_t c : s.text) {
                cjk |= c >= 0x4E00 && c <= 0x9FFF;
                accent |= c >= 0xC0 && c < 0x300;
            }
        }
    EXPECT_TRUE(golden && freestyle && cjk && accent);
    for (uint32_t i = 1; i < song.info.lineCount; ++i)
        EXPECT_LT(song.info.lines[i - 1].endTime, song.info.lines[i].startTime);  // pauses between lines
}

}  // namespace
