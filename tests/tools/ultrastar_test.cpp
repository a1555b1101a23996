// The UltraStar importer on real-shaped files: header forms, line breaks, the
// SongInfo it builds, the end line, malformed input, and the bundled sample song.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "song_files.h"
#include "test_files.h"
#include "ultrastar/ultrastar.h"
#include "test_random.h"

namespace {

using song_files::Load;
using song_files::QuarterBeatMs;
using ultrastar::NoteKind;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(UltraStar, HeaderFormsAndTheSongInfo) {
    const auto l = Load("header", "#TITLE:Test\r\n#bpm : 300,5 \r\n#Gap:1000\r\n#TITLE:Second\r\n#EMPTY:\r\n"
                                  ": 0 4 2 Hel\r\n: 4 4 4 lo \r\n- 10\r\n* 12 2 -3 you\r\nE\r\n");
    ASSERT_TRUE(l.ok) << l.error;
    const ultrastar::Song& song = l.song;
    EXPECT_EQ("Test", song.Title());  // the first of a repeated key counts
    EXPECT_EQ(0u, song.header.count("EMPTY"));
    EXPECT_EQ(2u, song.headerLine.at("BPM"));
    EXPECT_DOUBLE_EQ(300.5, song.bpm);
    ASSERT_EQ(2u, song.lines.size());
    EXPECT_EQ(NoteKind::Golden, song.lines[1].syllables[0].kind);
    EXPECT_EQ(u"lo ", song.lines[0].syllables[1].text);  // the trailing space is kept
    EXPECT_EQ(QuarterBeatMs(1000, 300.5, 4), song.lines[0].syllables[0].endMs);
    // In the SongInfo: MIDI pitches, a margin around them, lines spanning their notes.
    EXPECT_EQ(62.0f, song.info.lines[0].notes[0].pitch);
    EXPECT_EQ(57.0f - 3.0f, song.info.minPitch);
    EXPECT_EQ(64.0f + 3.0f, song.info.maxPitch);
    EXPECT_EQ(song.lines[0].syllables[0].startMs, song.info.lines[0].startTime);
    EXPECT_EQ(song.lines[0].syllables[1].endMs, song.info.lines[0].endTime);
    EXPECT_EQ(song.lines[1].syllables[0].endMs + 2000, song.info.endTime);
    EXPECT_EQ(2u, song.info.lines[0].wordCount);
    EXPECT_EQ(6u, song.wordSourceLines[0]);
}

TEST(UltraStar, CopiesPointIntoTheirOwnArrays) {
    auto l = Load("copy", "#BPM:100\n: 0 2 0 a\n- 4\n: 6 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    ultrastar::Song copy = l.song;
    l.song = ultrastar::Song();
    ASSERT_EQ(2u, copy.info.lineCount);
    EXPECT_EQ(u'b', copy.info.lines[1].words[0].text[0]);
    EXPECT_EQ(copy.info.lines[1].words[0].startTime, copy.lines[1].syllables[0].startMs);
}

TEST(UltraStar, EndIgnoresEverythingAfterIt) {
    const auto l = Load("end", "#BPM:100\n: 0 2 0 a\nE trailing junk\n: nonsense\n\x01\x02");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(1u, l.song.lines.size());
    EXPECT_TRUE(l.song.warnings.empty());
}

TEST(UltraStar, LoadReportsThePath) {
    ultrastar::Song song;
    std::string error;
    EXPECT_FALSE(ultrastar::Load("/nonexistent/song.txt", 1, &song, &error));
    EXPECT_EQ("cannot open /nonexistent/song.txt", error);
    const std::string path = song_files::Write("no_notes", "#BPM:100\nE\n");
    EXPECT_FALSE(ultrastar::Load(path, 1, &song, &error));
    EXPECT_EQ(path + ": the file has no notes", error);
    EXPECT_FALSE(ultrastar::Parse(Bytes("#BPM:100\n: 0 1 0 a\n"), 0, &song, &error));
    EXPECT_NE(std::string::npos, error.find("voice"));
}

// Random damage to a good file: the importer either refuses it with a message or
// builds a SongInfo whose times and counts are consistent.
TEST(UltraStar, DamagedFilesAreRefusedOrConsistent) {
    const std::string good = "#TITLE:x\n#BPM:200\n#GAP:-300\n#RELATIVE:yes\nP1\n: 0 4 2 Hel\n: 4 4 4 lo~\n- 10 12\n"
                             "B 3 150\nR 0 2 0 rap\nP2\n* 2 2 -3 you\nF 4 2 0 ~\nE\n";
    TestRandom rng(7);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 3) {
                case 0: bytes[at] = char(rng() % 256); break;
                case 1: bytes.erase(at, 1 + rng() % 3); break;
                default: bytes.insert(at, 1, "0123456789-:~ \n\r\t#BPE"[rng() % 22]); break;
            }
            if (bytes.empty()) bytes = "#";
        }
        ultrastar::Song song;
        std::string error;
        if (!ultrastar::Parse(Bytes(bytes), 1 + int(rng() % 2), &song, &error)) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        ++loaded;
        ASSERT_GT(song.info.lineCount, 0u);
        uint32_t previousStart = 0;
        for (uint32_t i = 0; i < song.info.lineCount; ++i) {
            const SongLine& line = song.info.lines[i];
            EXPECT_LE(line.startTime, line.endTime);
            EXPECT_LE(previousStart, line.startTime);
            previousStart = line.startTime;
            EXPECT_LT(line.endTime, song.info.endTime);
            for (uint32_t w = 0; w < line.wordCount; ++w) {
                EXPECT_LE(line.startTime, line.words[w].startTime);
                EXPECT_LE(line.words[w].endTime, line.endTime);
                EXPECT_LE(line.words[w].textLength, ultrastar::kMaxWordUnits);
            }
            for (uint32_t n = 0; n < line.noteCount; ++n) {
                EXPECT_LE(line.notes[n].startTime, line.notes[n].endTime);
                EXPECT_GE(line.notes[n].pitch, song.info.minPitch);
                EXPECT_LE(line.notes[n].pitch, song.info.maxPitch);
            }
        }
    }
    EXPECT_GT(loaded, 300);
}

TEST(UltraStar, TheBundledSampleSong) {
    ultrastar::Song song;
    std::string error;
    ASSERT_TRUE(ultrastar::Load(test_files::SourceDir() + "/songs/jasmine.txt", 1, &song, &error)) << error;
    EXPECT_EQ(12u, song.info.lineCount);  // eight lines of "茉莉花", four of the German verse
    EXPECT_EQ("UTF-8", song.encoding);
    EXPECT_TRUE(song.warnings.empty());
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
