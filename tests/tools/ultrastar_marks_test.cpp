// Display marks and note kinds: the melisma mark '~' is not shown (a syllable of
// marks alone continues the word before it), lines of freestyle or rap notes
// show their words, rap and freestyle notes have no pitch bar.
#include <gtest/gtest.h>

#include <string>

#include "song_files.h"

namespace {

using song_files::Load;
using song_files::QuarterBeatMs;
using song_files::WordText;

TEST(UltraStarMarks, MelismaContinuesThePreviousWord) {
    // BPM 150: 100 ms a beat.
    const auto l = Load("melisma", "#BPM:150\n: 0 2 0 Lo\n: 2 2 2 ~\n: 4 2 4 ~ \n: 8 2 0 ve~\n: 10 2 0 ~ly\n- 14\n"
                                   ": 16 2 0 ~\n: 18 2 0 - \n: 20 2 0 you\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    const SongLine& first = l.song.info.lines[0];
    // "Lo" sung over three notes, its word ending with the space of "~ ".
    ASSERT_EQ(3u, first.wordCount);
    EXPECT_EQ(u"Lo ", WordText(l.song, 0, 0));
    EXPECT_EQ(QuarterBeatMs(0, 150, 0), first.words[0].startTime);
    EXPECT_EQ(QuarterBeatMs(0, 150, 6), first.words[0].endTime);
    // Marks inside a syllable are only taken out.
    EXPECT_EQ(u"ve", WordText(l.song, 0, 1));
    EXPECT_EQ(u"ly", WordText(l.song, 0, 2));
    // Every note keeps its bar.
    EXPECT_EQ(5u, first.noteCount);
    EXPECT_EQ(62.0f, first.notes[1].pitch);
    // A line that starts with a melisma keeps an empty word for it; a lone '-'
    // continues it too, and its space ends the word.
    const SongLine& second = l.song.info.lines[1];
    ASSERT_EQ(2u, second.wordCount);
    EXPECT_EQ(u" ", WordText(l.song, 1, 0));
    EXPECT_EQ(QuarterBeatMs(0, 150, 20), second.words[0].endTime);
    EXPECT_EQ(u"you", WordText(l.song, 1, 1));
    // The file's text is kept as written.
    EXPECT_EQ(u"~ ", l.song.lines[0].syllables[2].text);
}

TEST(UltraStarMarks, MelismasNeverMakeAWordLongerThanTheRendererTakes) {
    // The renderer refuses a whole song with a word over 4096 units: the spaces of
    // melismas are not added past that.
    const auto l = Load("melisma_long", "#BPM:150\n: 0 2 0 " + std::string(4096, 'o') + "\n: 2 2 0 ~ \n: 4 2 0 ~ \nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    ASSERT_EQ(1u, l.song.info.lines[0].wordCount);
    EXPECT_EQ(4096u, l.song.info.lines[0].words[0].textLength);
    EXPECT_EQ(QuarterBeatMs(0, 150, 6), l.song.info.lines[0].words[0].endTime);
}

TEST(UltraStarMarks, DisplayTextRules) {
    struct Case {
        const char16_t* text;
        const char16_t* shown;
        bool onlyMarks;
    } cases[] = {{u"~", u"", true},       {u"~ ", u" ", true},        {u" ~", u" ", true},
                 {u"~~", u"", true},      {u"-", u"", true},          {u" - ", u"  ", true},
                 {u"a~", u"a", false},    {u"~oh ", u"oh ", false},   {u"well-known", u"well-known", false},
                 {u"--", u"--", false},   {u"", u"", false},          {u" ", u" ", false}};
    for (const Case& c : cases) {
        bool only = false;
        EXPECT_EQ(c.shown, ultrastar::DisplayText(c.text, &only));
        EXPECT_EQ(c.onlyMarks, only);
    }
}

TEST(UltraStarMarks, FreestyleAndRapLinesShowTheirWords) {
    const auto l = Load("kinds", "#BPM:100\n: 0 2 4 sung\n- 4\nF 6 2 0 (spo\nF 8 2 0 ken)\n- 12\n"
                                 "R 14 2 500 rap \nG 16 2 -700 gold\n- 20\n* 22 2 7 end\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    ASSERT_EQ(4u, l.song.info.lineCount);
    const SongLine& freestyle = l.song.info.lines[1];
    EXPECT_EQ(2u, freestyle.wordCount);
    EXPECT_EQ(0u, freestyle.noteCount);
    EXPECT_EQ(u"(spo", WordText(l.song, 1, 0));
    EXPECT_EQ(QuarterBeatMs(0, 100, 6), freestyle.startTime);
    EXPECT_EQ(QuarterBeatMs(0, 100, 10), freestyle.endTime);
    const SongLine& rap = l.song.info.lines[2];
    EXPECT_EQ(2u, rap.wordCount);
    EXPECT_EQ(0u, rap.noteCount);  // rap pitches are not sung, and do not stretch the pitch range
    EXPECT_EQ(u"rap ", WordText(l.song, 2, 0));
    EXPECT_EQ(64.0f - 3.0f, l.song.info.minPitch);
    EXPECT_EQ(67.0f + 3.0f, l.song.info.maxPitch);
    ASSERT_EQ(2u, l.song.noteKinds.size());
    EXPECT_EQ(ultrastar::NoteKind::Golden, l.song.noteKinds[1]);
}

TEST(UltraStarMarks, LinesOfOnlyUnpitchedNotesAreDrawnWithWords) {
    // The renderer gets a line with words and no notes: a valid line whose text it shows.
    const auto l = Load("only_freestyle", "#BPM:100\nF 0 8 0 Whis\nF 8 8 0 per\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    ASSERT_EQ(1u, l.song.info.lineCount);
    EXPECT_EQ(2u, l.song.info.lines[0].wordCount);
    EXPECT_EQ(nullptr, l.song.info.lines[0].notes);
    EXPECT_EQ(57.0f, l.song.info.minPitch);  // no pitched note: a range around C4
    EXPECT_EQ(63.0f, l.song.info.maxPitch);
}

}  // namespace
