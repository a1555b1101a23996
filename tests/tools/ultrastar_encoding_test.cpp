// The importer's text encodings: #ENCODING for the code pages real collections
// use, UTF-16 with a byte-order mark, the guess without a header, unknown names.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "song_files.h"
#include "ultrastar/text_encoding.h"

namespace {

using song_files::Load;
using song_files::Warned;
using song_files::WordText;

std::string Song(const std::string& header, const std::string& lyric) {
    return header + "#BPM:200\n: 0 2 0 " + lyric + "\nE\n";
}

// UTF-16 bytes of `text` in the given byte order, after a byte-order mark.
std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = char(c >> 8), lo = char(c & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

TEST(UltraStarEncodings, HeaderNamesTheCodePage) {
    struct Case {
        const char* header;
        const char* bytes;
        const char16_t* expected;
        const char* encoding;
    } cases[] = {
        {"#ENCODING:CP1250\n", "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1", u"Zażółć gęślą jaźń", "CP1250"},
        {"#ENCODING:cp865\n", "Bl\x86" "b\x91rsyltet\x9By", u"Blåbærsyltetøy", "CP865"},
        {"#ENCODING:windows-1251\n", "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет", "CP1251"},
        {"#ENCODING:CP1252\n", "caf\xE9 \x80", u"café €", "CP1252"},
        {"#ENCODING:Shift_JIS\n", "\x83\x4A\x83\x89\x83\x49\x83\x50", u"カラオケ", "CP932"},
        {"#ENCODING:ISO-8859-2\n", "\xB1", u"ą", "ISO-8859-2"},
        // Even bytes that would pass as UTF-8 are read as the header says.
        {"#ENCODING:CP1252\n", "\xC3\xA9", u"Ã©", "CP1252"},
        {"#ENCODING:UTF8\n", "\xC3\xA9", u"é", "UTF-8"},
    };
    int i = 0;
    for (const Case& c : cases) {
        const auto l = Load("codepage" + std::to_string(i++), Song(c.header, c.bytes));
        ASSERT_TRUE(l.ok) << c.header << l.error;
        EXPECT_EQ(c.encoding, l.song.encoding) << c.header;
        EXPECT_EQ(c.expected, l.song.lines[0].syllables[0].text) << c.header;
        EXPECT_EQ(c.expected, WordText(l.song, 0, 0)) << c.header;
        EXPECT_TRUE(l.song.warnings.empty()) << c.header;
    }
}

TEST(UltraStarEncodings, HeaderValuesAreDecodedToo) {
    // #ENCODING after #TITLE still applies to it.
    const auto l = Load("title", "#TITLE:\xA3\xF3" "d\x9F\n#ENCODING:CP1250\n#ARTIST:\xAF" "aba\n#BPM:100\n: 0 1 0 x\nE\n");
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ("Łódź", l.song.Title());
    EXPECT_EQ("Żaba", l.song.Artist());
}

TEST(UltraStarEncodings, Utf16WithByteOrderMark) {
    const std::u16string text = u"#TITLE:茉莉花\r\n#BPM:300\r\n#GAP:100\r\n: 0 4 2 好\r\n: 4 4 4 𝄞x\r\nE\r\n";
    for (bool big : {false, true}) {
        const auto l = Load(big ? "utf16be" : "utf16le", Utf16Bytes(text, big));
        ASSERT_TRUE(l.ok) << l.error;
        EXPECT_EQ(big ? "UTF-16BE" : "UTF-16LE", l.song.encoding);
        EXPECT_EQ("茉莉花", l.song.Title());
        ASSERT_EQ(2u, l.song.lines[0].syllables.size());
        EXPECT_EQ(u"好", l.song.lines[0].syllables[0].text);
        EXPECT_EQ(u"𝄞x", l.song.lines[0].syllables[1].text);  // a surrogate pair survives
        EXPECT_EQ(song_files::QuarterBeatMs(100, 300, 4), l.song.lines[0].syllables[1].startMs);
    }
    // A UTF-16 file with an #ENCODING that says otherwise: the mark wins, with a warning.
    const auto l = Load("utf16_declared", Utf16Bytes(u"#ENCODING:CP1252\n#BPM:100\n: 0 1 0 é\nE\n", false));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(u"é", l.song.lines[0].syllables[0].text);
}

TEST(UltraStarEncodings, WithoutHeaderUtf8ElseCp1252) {
    auto l = Load("guess_utf8", Song("", "\xE8\x8C\x89 caf\xC3\xA9"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ("UTF-8", l.song.encoding);
    EXPECT_EQ(u"茉 café", l.song.lines[0].syllables[0].text);
    l = Load("guess_bom", "\xEF\xBB\xBF" + Song("", "caf\xC3\xA9"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(u"café", l.song.lines[0].syllables[0].text);
    l = Load("guess_cp1252", Song("", "caf\xE9 \x80"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ("CP1252", l.song.encoding);
    EXPECT_EQ(u"café €", l.song.lines[0].syllables[0].text);
    // "auto" leaves the guess to the reader, without a warning.
    l = Load("guess_auto", Song("#ENCODING:auto\n", "caf\xE9"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_EQ(u"café", l.song.lines[0].syllables[0].text);
    EXPECT_TRUE(l.song.warnings.empty());
}

TEST(UltraStarEncodings, UnknownOrBrokenTextIsReportedByName) {
    auto l = Load("unknown", Song("#TITLE:x\n#ENCODING:Klingon-42\n", "caf\xE9"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_TRUE(Warned(l.song, {"line 2", "Klingon-42"}));
    EXPECT_EQ(u"café", l.song.lines[0].syllables[0].text);  // guessed
    // Declared UTF-8 that is not: what is not shows as U+FFFD.
    l = Load("broken_utf8", Song("#ENCODING:UTF-8\n", "a\xE9z"));
    ASSERT_TRUE(l.ok) << l.error;
    EXPECT_TRUE(Warned(l.song, {"not valid UTF-8"}));
    EXPECT_EQ(u"a\xFFFDz", l.song.lines[0].syllables[0].text);
}

// Every name the importer knows converts, letters, digits and the format's marks stay as they are, and every byte of a
// single-byte code page becomes exactly one UTF-16 unit.
TEST(UltraStarEncodings, EveryKnownCodePageConverts) {
    const char* names[] = {"UTF-8",  "CP1250", "CP1251", "CP1252", "CP1253", "CP1254", "CP1255", "CP1256",
                           "CP1257", "CP1258", "windows-1250", "Win1252", "cp 1252", "CP437", "IBM850", "CP737",
                           "CP775",  "CP852",  "CP855",  "CP857",  "CP860",  "CP861",  "CP862",  "CP863",
                           "CP864",  "CP865",  "CP866",  "CP869",  "CP874",  "CP932",  "MS936",  "CP949",
                           "CP950",  "ISO-8859-1", "latin1", "ISO-8859-2", "ISO-8859-5", "ISO-8859-7",
                           "ISO-8859-9", "ISO-8859-13", "ISO-8859-15", "KOI8-R", "KOI8-U", "Shift-JIS",
                           "EUC-JP", "GBK", "GB2312", "GB18030", "EUC-KR", "Big5", "TIS-620", "Macintosh"};
    // Letters, digits and the characters the format itself uses (CP864 has its
    // own percent sign, so not every ASCII character stays).
    std::string ascii = " #:*-~.,\r\n\t";
    for (int c = 0x20; c < 0x7F; ++c)
        if (std::isalnum(c)) ascii += char(c);
    for (const char* name : names) {
        ultrastar::TextEncoding e;
        ASSERT_TRUE(ultrastar::FindTextEncoding(name, &e)) << name;
        std::u16string out;
        ASSERT_TRUE(ultrastar::DecodeText(ascii, e, true, &out)) << name;
        EXPECT_EQ(std::u16string(ascii.begin(), ascii.end()), out) << name;
        const bool singleByte = e.codePage != 65001 && e.codePage != 932 && e.codePage != 936 && e.codePage != 949 &&
                                e.codePage != 950 && e.codePage != 54936 && e.codePage != 20932;
        if (!singleByte) continue;
        for (int b = 0x80; b < 0x100; ++b) {
            ASSERT_TRUE(ultrastar::DecodeText(std::string(1, char(b)), e, false, &out)) << name;
            EXPECT_EQ(1u, out.size()) << name << " byte " << b;
        }
    }
    for (const char* unknown : {"", "CP", "CP99999", "UTF-7", "EBCDIC", "CP1252x"}) {
        ultrastar::TextEncoding e;
        EXPECT_FALSE(ultrastar::FindTextEncoding(unknown, &e)) << unknown;
    }
}

TEST(UltraStarEncodings, Utf8EncodingOfUtf16) {
    EXPECT_EQ("a\xC3\xA9\xE8\x8C\x89\xF0\x9D\x84\x9E", ultrastar::EncodeUtf8(u"aé茉𝄞"));
    EXPECT_EQ("x\xEF\xBF\xBDy", ultrastar::EncodeUtf8(std::u16string(u"x") + char16_t(0xD800) + u"y"));
}

}  // namespace
