// Absurd values are refused with an error naming the line and the value; the
// importer's own limits hold for any size of input.
#include <gtest/gtest.h>

#include <string>

#include "song_files.h"

namespace {

using song_files::Load;
using song_files::Warned;

// The error of a file that must not load.
std::string ErrorOf(const std::string& name, const std::string& file, int voice = 1) {
    const auto l = Load(name, file, voice);
    EXPECT_FALSE(l.ok) << name;
    return l.error;
}

bool Contains(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& p : parts)
        if (text.find(p) == std::string::npos) return false;
    return true;
}

TEST(UltraStarLimits, AbsurdHeaderValuesNameLineAndValue) {
    struct Case {
        const char* file;
        std::vector<std::string> parts;
    } cases[] = {
        {"#TITLE:x\n#BPM:0\n: 0 2 0 a\nE\n", {"line 2", "#BPM 0", "out of range"}},
        {"#BPM:-5\n: 0 2 0 a\nE\n", {"line 1", "#BPM -5"}},
        {"#TITLE:x\n#ARTIST:y\n#BPM:1e308\n: 0 2 0 a\nE\n", {"line 3", "#BPM 1e308", "out of range"}},
        {"#BPM:100001\n: 0 2 0 a\nE\n", {"line 1", "100001"}},
        {"#BPM:fast\n: 0 2 0 a\nE\n", {"line 1", "#BPM \"fast\"", "not a number"}},
        {"#BPM:nan\n: 0 2 0 a\nE\n", {"line 1", "\"nan\""}},
        {"#BPM:100\n#GAP:9e99\n: 0 2 0 a\nE\n", {"line 2", "#GAP 9e99"}},
        {"#BPM:100\n#GAP:soon\n: 0 2 0 a\nE\n", {"line 2", "\"soon\""}},
        {"#TITLE:x\n: 0 2 0 a\nE\n", {"missing #BPM header"}},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string error = ErrorOf("header_limit" + std::to_string(i++), c.file);
        EXPECT_TRUE(Contains(error, c.parts)) << error;
    }
}

TEST(UltraStarLimits, AbsurdNotesNameLineAndValue) {
    struct Case {
        const char* file;
        std::vector<std::string> parts;
    } cases[] = {
        // 2147483647 ms is about 24.9 days: at BPM 1, 600000 beats are 9e9 ms.
        {"#BPM:1\n: 0 2 0 a\n: 600000 2 0 b\nE\n", {"line 3", "beyond the 32-bit millisecond range"}},
        {"#BPM:100\n: 0 2 0 a\n: 9999999999 2 0 b\nE\n", {"line 3", "start beat 9999999999"}},
        {"#BPM:100\n: 0 2 1001 a\nE\n", {"line 2", "pitch 1001", "±1000"}},
        {"#BPM:100\n: 0 2 -5000 a\nE\n", {"line 2", "pitch -5000"}},
        {"#BPM:100\n: 0 -2 0 a\nE\n", {"line 2", "duration -2", "negative"}},
        {"#BPM:100\n: 0 2 0 a\nB 4 0\n: 8 2 0 b\nE\n", {"line 3", "BPM 0", "out of range"}},
        {"#BPM:100\n: 0 2 0 a\nB x 100\nE\n", {"line 3", "tempo change"}},
        {"#BPM:100\n: 0 2 0 a\n: 4 2\nE\n", {"line 3", "a note needs a start beat, a duration and a pitch"}},
        {"#BPM:100\n- abc\n", {"line 2", "line break"}},
        {"#BPM:100\nP7x\n", {"line 2", "duet voice"}},
        {"#BPM:100\nE\n", {"the file has no notes"}},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string error = ErrorOf("note_limit" + std::to_string(i++), c.file);
        EXPECT_TRUE(Contains(error, c.parts)) << error;
    }
    // Rap and freestyle pitches are ignored, however large.
    EXPECT_TRUE(Load("rap_pitch", "#BPM:100\nR 0 2 99999 a\nF 2 2 -99999 b\nE\n").ok);
    // Just inside: the largest pitch, a time just under 2^31 ms.
    auto l = Load("inside", "#BPM:15000\n#GAP:2147483000\n: 0 2 1000 a\n: 600 1 -1000 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(2147483600u, l.song.lines[0].syllables[1].startMs);
}

TEST(UltraStarLimits, UnknownLinesWarnAndLongTextIsCut) {
    auto l = Load("unknown_lines", "#BPM:100\n: 0 2 0 a\nX 2 2 3 b\nQ what\n#LATE:header\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_TRUE(Warned(l.song, {"line 3", "unknown line type 'X'", "freestyle"}));
    EXPECT_TRUE(Warned(l.song, {"line 4", "'Q'", "ignored"}));
    EXPECT_TRUE(Warned(l.song, {"line 5", "header line"}));
    EXPECT_EQ(2u, l.song.lines[0].syllables.size());
    EXPECT_EQ(ultrastar::NoteKind::Freestyle, l.song.lines[0].syllables[1].kind);
    // A line break without its beat still breaks the line.
    l = Load("bare_break", "#BPM:100\n: 0 2 0 a\n-\n: 4 2 0 b\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(2u, l.song.lines.size());
    EXPECT_TRUE(Warned(l.song, {"line 3", "line break without a beat"}));
    // A syllable of 5000 characters is cut at 4096, the renderer's limit.
    l = Load("long_text", "#BPM:100\n: 0 2 0 " + std::string(5000, 'a') + "\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(ultrastar::kMaxWordUnits, l.song.lines[0].syllables[0].text.size());
    EXPECT_TRUE(Warned(l.song, {"line 2", "4096"}));
}

TEST(UltraStarLimits, WarningsAndNotesAreBounded) {
    std::string file = "#BPM:100\n#GAP:-100000\n";
    for (int i = 0; i < 200; ++i) file += ": " + std::to_string(i * 2) + " 1 0 x\n";
    auto l = Load("many_warnings", file + "E\n");
    ASSERT_TRUE(l.ok) << l.error;
    ASSERT_EQ(ultrastar::kMaxWarnings + 1, l.song.warnings.size());
    EXPECT_EQ("... and 150 more warnings", l.song.warnings.back());
    std::string many = "#BPM:100\n";
    many.reserve(ultrastar::kMaxSyllables * 14);
    for (size_t i = 0; i <= ultrastar::kMaxSyllables; ++i) many += ": " + std::to_string(i) + " 1 0 x\n";
    const std::string error = ErrorOf("too_many", many);
    EXPECT_TRUE(Contains(error, {"line " + std::to_string(ultrastar::kMaxSyllables + 2), "more than 100000 notes"}))
        << error;
    // The other voice's notes do not count.
    const auto other = Load("too_many_other_voice", "#BPM:100\nP1\n: 0 1 0 a\nP2\n" + many.substr(9), 1);
    EXPECT_TRUE(other.ok) << other.error;
}

}  // namespace
