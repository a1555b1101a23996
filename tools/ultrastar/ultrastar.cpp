// ultrastar.cpp - the UltraStar .txt importer.
#include "ultrastar.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace ultrastar {

namespace {

// The upper half of CP1252; 0 marks the five unassigned positions.
const uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A decimal with '.' or ',' as the separator; false when it is not a number.
bool ParseDecimal(const std::string& text, double* value) {
    std::string t = Trim(text);
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

bool ParseInt(const std::string& text, int32_t* value) {
    double v = 0;
    if (!ParseDecimal(text, &v) || v != std::floor(v) || std::fabs(v) > 1e9) return false;
    *value = int32_t(v);
    return true;
}

std::string LineError(size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

}  // namespace

bool DecodeUtf8(const std::string& bytes, std::u16string* out) {
    out->clear();
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t b = uint8_t(bytes[i]);
        uint32_t cp = 0;
        size_t extra = 0;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= bytes.size() + (extra ? 0 : 1)) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const uint8_t c = uint8_t(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(char16_t(0xD800 + (cp >> 10)));
            out->push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(char16_t(cp));
        }
        i += extra + 1;
    }
    return true;
}

std::u16string DecodeCp1252(const std::string& bytes) {
    std::u16string out;
    for (char c : bytes) {
        const uint8_t b = uint8_t(c);
        if (b >= 0x80 && b < 0xA0)
            out.push_back(kCp1252High[b - 0x80] ? char16_t(kCp1252High[b - 0x80]) : u'?');
        else
            out.push_back(char16_t(b));
    }
    return out;
}

std::string EncodeUtf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string Song::Title() const {
    const auto it = header.find("TITLE");
    return it == header.end() ? std::string() : it->second;
}

std::string Song::Artist() const {
    const auto it = header.find("ARTIST");
    return it == header.end() ? std::string() : it->second;
}

bool Parse(const std::vector<uint8_t>& bytes, int voice, Song* song, std::string* error) {
    Song result;
    std::string all(bytes.begin(), bytes.end());
    if (all.compare(0, 3, "\xEF\xBB\xBF") == 0) all.erase(0, 3);

    // Split into lines (LF, CRLF or CR).
    std::vector<std::string> rows;
    std::string current;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\r' || all[i] == '\n') {
            rows.push_back(current);
            current.clear();
            if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
        } else {
            current += all[i];
        }
    }
    if (!current.empty()) rows.push_back(current);

    // Header first: it decides the encoding of everything else.
    size_t body = 0;
    for (; body < rows.size(); ++body) {
        const std::string row = Trim(rows[body]);
        if (row.empty()) continue;
        if (row[0] != '#') break;
        const size_t colon = row.find(':');
        if (colon == std::string::npos) continue;  // not a header field: ignored
        result.header[Upper(Trim(row.substr(1, colon - 1)))] = Trim(row.substr(colon + 1));
    }
    std::string encoding = result.header.count("ENCODING") ? Upper(result.header["ENCODING"]) : "";
    encoding.erase(std::remove(encoding.begin(), encoding.end(), '-'), encoding.end());
    std::u16string probe;
    const bool forceCp1252 = encoding == "CP1252" || encoding == "WINDOWS1252" || encoding == "ISO88591" ||
                             encoding == "LATIN1";
    const bool useUtf8 = !forceCp1252 && DecodeUtf8(all, &probe);
    auto decode = [&](const std::string& raw) {
        std::u16string text;
        if (useUtf8 && DecodeUtf8(raw, &text)) return text;
        return DecodeCp1252(raw);
    };
    // Header values as UTF-8 for display.
    for (auto& field : result.header) field.second = EncodeUtf8(decode(field.second));

    if (!result.header.count("BPM")) {
        *error = "missing #BPM header";
        return false;
    }
    if (!ParseDecimal(result.header["BPM"], &result.bpm) || result.bpm <= 0) {
        *error = "#BPM must be a positive number, not \"" + result.header["BPM"] + "\"";
        return false;
    }
    if (result.header.count("GAP") && !ParseDecimal(result.header["GAP"], &result.gapMs)) {
        *error = "#GAP is not a number: \"" + result.header["GAP"] + "\"";
        return false;
    }
    double version = 0;
    if (result.header.count("VERSION")) {
        const std::string v = result.header["VERSION"];
        ParseDecimal(v.substr(0, v.find('.', v.find('.') + 1)), &version);  // "1.0.0" -> 1.0
    }
    const bool relative = version < 2 && result.header.count("RELATIVE") &&
                          (Upper(result.header["RELATIVE"]) == "YES" || result.header["RELATIVE"] == "1");
    const double msPerBeat = version >= 2 ? 60000.0 / result.bpm : 15000.0 / result.bpm;

    int currentVoice = 1;
    int64_t base = 0;  // relative files: the beat where the current line starts
    Line line;
    auto flush = [&]() {
        if (!line.syllables.empty()) result.lines.push_back(line);
        line = Line();
    };
    for (size_t r = body; r < rows.size(); ++r) {
        const size_t number = r + 1;
        const std::string raw = rows[r];
        const std::string row = Trim(raw);
        if (row.empty()) continue;
        const char type = row[0];
        if (type == 'E') break;
        if (type == 'P') {  // duet voice marker: "P1", "P 2"
            int32_t v = 0;
            if (!ParseInt(row.substr(1), &v) || (v != 1 && v != 2 && v != 3)) {
                *error = LineError(number, "unknown duet voice \"" + row + "\"");
                return false;
            }
            flush();
            currentVoice = v;
            base = 0;
            continue;
        }
        if (type == '#') continue;  // a late header line: ignored
        const bool ours = currentVoice == voice || currentVoice == 3;
        if (type == '-') {
            std::istringstream fields(row.substr(1));
            std::string a, b;
            fields >> a >> b;
            int32_t first = 0, second = 0;
            if (!ParseInt(a, &first) || (!b.empty() && !ParseInt(b, &second))) {
                *error = LineError(number, "a line break needs one or two beat numbers: \"" + row + "\"");
                return false;
            }
            if (ours) flush();
            if (relative) base += b.empty() ? first : second;
            continue;
        }
        NoteKind kind;
        switch (type) {
            case ':': kind = NoteKind::Normal; break;
            case '*': kind = NoteKind::Golden; break;
            case 'F': kind = NoteKind::Freestyle; break;
            case 'R': kind = NoteKind::Rap; break;
            case 'G': kind = NoteKind::GoldenRap; break;
            default:
                *error = LineError(number, std::string("unknown line type '") + type + "'");
                return false;
        }
        // "T start duration pitch text": the text is everything after the single
        // space that follows the pitch, leading and trailing spaces kept.
        size_t at = raw.find(type) + 1;
        std::string numbers[3];
        for (std::string& n : numbers) {
            while (at < raw.size() && (raw[at] == ' ' || raw[at] == '\t')) ++at;
            const size_t start = at;
            while (at < raw.size() && raw[at] != ' ' && raw[at] != '\t') ++at;
            n = raw.substr(start, at - start);
        }
        Syllable s;
        s.kind = kind;
        if (!ParseInt(numbers[0], &s.startBeat) || !ParseInt(numbers[1], &s.durationBeats) ||
            !ParseInt(numbers[2], &s.pitch)) {
            *error = LineError(number, "a note needs a start, a duration and a pitch: \"" + row + "\"");
            return false;
        }
        if (s.durationBeats < 0) {
            *error = LineError(number, "a note's duration is negative: \"" + row + "\"");
            return false;
        }
        std::string text = at < raw.size() ? raw.substr(at + 1) : std::string();
        s.text = decode(text);
        if (!ours) continue;
        const double start = result.gapMs + double(base + s.startBeat) * msPerBeat;
        const double end = result.gapMs + double(base + s.startBeat + s.durationBeats) * msPerBeat;
        if (start < 0 || end > 4.0e9) {
            *error = LineError(number, "the note lies outside the song's time range");
            return false;
        }
        s.startMs = uint32_t(std::lround(start));
        s.endMs = uint32_t(std::lround(end));
        line.syllables.push_back(s);
    }
    flush();
    if (result.lines.empty()) {
        *error = voice == 1 ? "the file has no notes" : "voice " + std::to_string(voice) + " has no notes";
        return false;
    }
    *song = std::move(result);
    song->BuildSongInfo();
    return true;
}

bool Load(const std::string& path, int voice, Song* song, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > (size_t(16) << 20)) {
            std::fclose(f);
            *error = path + " is larger than 16 MiB";
            return false;
        }
    }
    std::fclose(f);
    if (!Parse(bytes, voice, song, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

void Song::BuildSongInfo() {
    songLines_.clear();
    songWords_.clear();
    songNotes_.clear();
    texts_.clear();
    size_t syllables = 0;
    for (const Line& l : lines) syllables += l.syllables.size();
    songWords_.reserve(syllables);
    songNotes_.reserve(syllables);
    int32_t lowest = 127, highest = 0;
    uint32_t last = 0;
    std::vector<std::pair<size_t, size_t>> wordRanges, noteRanges;
    for (const Line& l : lines) {
        const size_t firstWord = songWords_.size(), firstNote = songNotes_.size();
        for (const Syllable& s : l.syllables) {
            texts_.push_back(s.text);
            songWords_.push_back({s.startMs, s.endMs, reinterpret_cast<const uint16_t*>(texts_.back().c_str()),
                                  uint32_t(s.text.size())});
            if (s.kind != NoteKind::Freestyle) {  // nothing to sing at a pitch
                const int32_t midi = s.pitch + 60;
                songNotes_.push_back({s.startMs, s.endMs, float(midi)});
                lowest = std::min(lowest, midi);
                highest = std::max(highest, midi);
            }
            last = std::max(last, s.endMs);
        }
        wordRanges.push_back({firstWord, songWords_.size() - firstWord});
        noteRanges.push_back({firstNote, songNotes_.size() - firstNote});
        const uint32_t start = l.syllables.front().startMs;
        uint32_t end = start;
        for (const Syllable& s : l.syllables) end = std::max(end, s.endMs);
        songLines_.push_back({start, end, nullptr, 0, nullptr, 0});
    }
    for (size_t i = 0; i < songLines_.size(); ++i) {
        songLines_[i].words = wordRanges[i].second ? &songWords_[wordRanges[i].first] : nullptr;
        songLines_[i].wordCount = uint32_t(wordRanges[i].second);
        songLines_[i].notes = noteRanges[i].second ? &songNotes_[noteRanges[i].first] : nullptr;
        songLines_[i].noteCount = uint32_t(noteRanges[i].second);
    }
    if (lowest > highest) lowest = highest = 60;
    // A margin of three semitones around the notes keeps bars off the edges.
    info.minPitch = float(lowest - 3);
    info.maxPitch = float(highest + 3);
    info.startTime = 0;
    info.endTime = last + 2000;
    info.reserved = 0;
    info.lines = songLines_.data();
    info.lineCount = uint32_t(songLines_.size());
}

}  // namespace ultrastar
