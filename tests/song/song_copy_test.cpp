// The song copy: admission, each repair with its debugger line in order, the
// text length limit, null arrays, sizes that would overflow, and that a rejected
// record never leaves a half-built copy.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/platform.h"
#include "song/song_copy.h"
#include "song_builder.h"

namespace {

class SongCopy : public ::testing::Test {
protected:
    void SetUp() override { platform::DebugOutputLog().clear(); }
    void TearDown() override { DestroySongCopy(&copy); }
    static std::vector<std::string> Log() { return platform::DebugOutputLog(); }
    static std::string Error(int n) { return "_SongInfoCopy error " + std::to_string(n) + "\r\n"; }
    SongInfo copy = {};
};

TEST_F(SongCopy, DeepCopiesEverything) {
    SongBuilder b(0, 10000, 50.0f, 70.0f);
    b.Line(1000, 3000).Word(1000, 1500, u"Hel").Word(1500, 2000, u"lo ").Note(1000, 2000, 60.0f);
    b.Line(4000, 6000).Note(4000, 5000, 55.0f);
    SongInfo* source = b.Build();
    source->reserved = 0xABCD;
    ASSERT_TRUE(_SongInfoCopy(&copy, source));
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(2u, copy.lineCount);
    EXPECT_EQ(0xABCDu, copy.reserved);
    EXPECT_NE(source->lines, copy.lines);
    EXPECT_EQ(2u, copy.lines[0].wordCount);
    EXPECT_NE(source->lines[0].words[0].text, copy.lines[0].words[0].text);
    EXPECT_EQ(0, std::memcmp(u"lo ", copy.lines[0].words[1].text, 4 * sizeof(char16_t)));
    EXPECT_EQ(60.0f, copy.lines[0].notes[0].pitch);
    EXPECT_EQ(nullptr, copy.lines[1].words);  // a line with notes and no words
    EXPECT_EQ(0u, copy.lines[1].wordCount);
    EXPECT_EQ(1u, copy.lines[1].noteCount);
}

TEST_F(SongCopy, RecordsWithoutLinesLeaveThePreviousCopy) {
    SongBuilder b;
    b.Line(0, 10);
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    SongInfo empty = b.Info();
    empty.lineCount = 0;
    EXPECT_FALSE(_SongInfoCopy(&copy, &empty));
    empty.lineCount = 1;
    empty.lines = nullptr;
    EXPECT_FALSE(_SongInfoCopy(&copy, &empty));
    EXPECT_FALSE(_SongInfoCopy(&copy, nullptr));
    EXPECT_FALSE(_SongInfoCopy(nullptr, b.Build()));
    EXPECT_EQ(1u, copy.lineCount);
    EXPECT_NE(nullptr, copy.lines);
    EXPECT_TRUE(Log().empty());
}

TEST_F(SongCopy, PitchRangeRepairs) {
    SongBuilder b(0, 100, 50.0f, 50.0f);
    b.Line(0, 10);
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    EXPECT_EQ(60.0f, copy.maxPitch);
    ASSERT_EQ(1u, Log().size());
    EXPECT_EQ(Error(-1), Log()[0]);
    platform::DebugOutputLog().clear();
    b.Info().maxPitch = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    EXPECT_EQ(60.0f, copy.maxPitch);
    EXPECT_EQ(std::vector<std::string>{Error(-1)}, Log());
}

TEST_F(SongCopy, LineRepairsInOrder) {
    SongBuilder b(1000, 9000);
    b.Line(1500, 1400);  // start > end, then zero length: errors 0 and 3
    b.Line(100, 200);    // wholly before the song: 1, then 3
    b.Line(8000, 9500);  // past the end: 2
    b.Line(2000, 3000);
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    const std::vector<std::string> expected = {Error(0), Error(3), Error(1), Error(3), Error(2)};
    EXPECT_EQ(expected, Log());
    EXPECT_EQ(1500u, copy.lines[0].startTime);
    EXPECT_EQ(1501u, copy.lines[0].endTime);
    EXPECT_EQ(1000u, copy.lines[1].startTime);
    EXPECT_EQ(1001u, copy.lines[1].endTime);
    EXPECT_EQ(9000u, copy.lines[2].endTime);
}

TEST_F(SongCopy, ALine500To400FromZeroLogsErrors0Then3) {
    SongBuilder b(0, 1000);
    b.Line(500, 400);
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    EXPECT_EQ((std::vector<std::string>{Error(0), Error(3)}), Log());
    EXPECT_EQ(501u, copy.lines[0].endTime);
}

TEST_F(SongCopy, NoteAndWordRepairsUseTheRepairedLine) {
    SongBuilder b(0, 10000);
    b.Line(1000, 2000)
        .Note(900, 1100, 60)    // 5
        .Note(1900, 2100, 60)   // 6
        .Note(1500, 1500, 60)   // equal: unchanged
        .Note(1800, 1700, 60)   // 7
        .Word(500, 1200, u"a")  // 8
        .Word(1800, 2500, u"b") // 9
        .Word(1600, 1550, u"c");// 10
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    EXPECT_EQ((std::vector<std::string>{Error(5), Error(6), Error(7), Error(8), Error(9), Error(10)}), Log());
    const SongNote* n = copy.lines[0].notes;
    EXPECT_EQ(1000u, n[0].startTime);
    EXPECT_EQ(2000u, n[1].endTime);
    EXPECT_EQ(1500u, n[2].endTime);
    EXPECT_EQ(1801u, n[3].endTime);
    const SongWord* w = copy.lines[0].words;
    EXPECT_EQ(1000u, w[0].startTime);
    EXPECT_EQ(2000u, w[1].endTime);
    EXPECT_EQ(1601u, w[2].endTime);
}

TEST_F(SongCopy, WordTextOf4096IsAcceptedAnd4097RejectsTheSong) {
    std::u16string longText(4096, u'x');
    SongBuilder ok;
    ok.Line(0, 10).Word(0, 5, longText);
    ASSERT_TRUE(_SongInfoCopy(&copy, ok.Build()));
    EXPECT_EQ(4096u, copy.lines[0].words[0].textLength);
    EXPECT_EQ(0, copy.lines[0].words[0].text[4096]);

    SongBuilder bad;
    bad.Line(0, 10).Word(0, 5, u"fine").Line(20, 30).Word(20, 25, longText + u"y");
    EXPECT_FALSE(_SongInfoCopy(&copy, bad.Build()));
    EXPECT_EQ(std::vector<std::string>{Error(11)}, Log());
    // The previous song is gone and nothing half-built remains.
    EXPECT_EQ(nullptr, copy.lines);
    EXPECT_EQ(0u, copy.lineCount);
    EXPECT_EQ(0u, copy.endTime);
}

TEST_F(SongCopy, NullOrEmptyArraysAndTextsCopyAsNull) {
    SongBuilder b;
    b.Line(0, 10).Word(0, 5, u"").Word(0, 5, u"ab").Note(0, 5, 50);
    SongInfo* s = b.Build();
    const_cast<SongWord*>(s->lines[0].words)[1].text = nullptr;  // a length with no text
    ASSERT_TRUE(_SongInfoCopy(&copy, s));
    EXPECT_EQ(nullptr, copy.lines[0].words[0].text);
    EXPECT_EQ(nullptr, copy.lines[0].words[1].text);
    EXPECT_EQ(2u, copy.lines[0].words[1].textLength);
    // Null arrays with counts, and counts of zero with arrays: no array in the copy.
    s->lines[0].words = nullptr;
    s->lines[0].notes = nullptr;
    s->lines[0].wordCount = 0xFFFFFFFFu;
    s->lines[0].noteCount = 0xFFFFFFFFu;
    ASSERT_TRUE(_SongInfoCopy(&copy, s));
    EXPECT_EQ(0u, copy.lines[0].wordCount);
    EXPECT_EQ(0u, copy.lines[0].noteCount);
    EXPECT_EQ(nullptr, copy.lines[0].notes);
}

// Counts whose byte size overflows 32 bits are refused before anything is read.
TEST_F(SongCopy, CountsNear2To32AreRefusedWithoutReading) {
    SongLine line = {0, 10, nullptr, 0, nullptr, 0};
    SongInfo huge = {80, 40, 0, 100, 0, &line, 0xFFFFFFFFu};
    EXPECT_FALSE(_SongInfoCopy(&copy, &huge));
    EXPECT_EQ(nullptr, copy.lines);
    EXPECT_TRUE(Log().empty());

    SongNote note = {0, 5, 50};
    line.notes = &note;
    line.noteCount = 0x20000000u;  // 12 * 2^29 bytes overflows 32 bits
    huge.lineCount = 1;
    EXPECT_FALSE(_SongInfoCopy(&copy, &huge));
    EXPECT_EQ(std::vector<std::string>{Error(4)}, Log());
    EXPECT_EQ(nullptr, copy.lines);

    SongWord word = {0, 5, nullptr, 0};
    line.notes = nullptr;
    line.words = &word;
    line.wordCount = 0x10000000u;  // 16 * 2^28 overflows
    EXPECT_FALSE(_SongInfoCopy(&copy, &huge));
    EXPECT_EQ(nullptr, copy.lines);
}

TEST_F(SongCopy, TimesNear2To32DoNotCrash) {
    SongBuilder b(0, 0xFFFFFFFFu);
    b.Line(0xFFFFFFFFu, 0xFFFFFFFFu).Note(0, 0xFFFFFFFFu, 60).Word(0xFFFFFFF0u, 0xFFFFFFFFu, u"x");
    ASSERT_TRUE(_SongInfoCopy(&copy, b.Build()));
    EXPECT_EQ(0xFFFFFFFFu, copy.lines[0].startTime);
    EXPECT_EQ(Error(3), Log()[0]);  // the end wraps to 0 when the start is the largest time
}

// 100,000 repaired lines write the first hundred repair lines and one count of the
// rest; a failure that rejects the song is always written.
TEST_F(SongCopy, RepairLinesAreBoundedAndCountTheRest) {
    std::vector<SongLine> lines(100000, SongLine{500, 400, nullptr, 0, nullptr, 0});  // errors 0 and 3 each
    SongInfo song = {80, 40, 0, 1000000, 0, lines.data(), uint32_t(lines.size())};
    ASSERT_TRUE(_SongInfoCopy(&copy, &song));
    ASSERT_EQ(kRepairLinesShown + 1, Log().size());
    for (size_t i = 0; i < kRepairLinesShown; ++i) EXPECT_EQ(Error(i % 2 ? 3 : 0), Log()[i]);
    EXPECT_EQ("_SongInfoCopy: 199900 more repairs not shown\r\n", Log().back());
    EXPECT_EQ(501u, copy.lines[99999].endTime);  // every line is repaired all the same

    platform::DebugOutputLog().clear();
    SongBuilder b(0, 1000);
    for (int i = 0; i < 150; ++i) b.Line(500, 400);
    b.Line(0, 10).Word(0, 5, std::u16string(4097, u'x'));
    EXPECT_FALSE(_SongInfoCopy(&copy, b.Build()));
    ASSERT_EQ(kRepairLinesShown + 2, Log().size());
    EXPECT_EQ(Error(11), Log()[kRepairLinesShown]);
    EXPECT_EQ("_SongInfoCopy: 200 more repairs not shown\r\n", Log().back());
}

TEST_F(SongCopy, DestroyingAnEmptyCopyDoesNothing) {
    DestroySongCopy(&copy);
    DestroySongCopy(nullptr);
    EXPECT_EQ(nullptr, copy.lines);
}

}  // namespace
