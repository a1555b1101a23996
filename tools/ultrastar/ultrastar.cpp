// ultrastar.cpp - the UltraStar .txt importer.
//
// The file is decoded to UTF-16 as a whole (text_encoding.h), then read line by
// line: the header, then the body into per-voice lines with absolute beats, and
// last the times of all notes from the tempo map.
#include "ultrastar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "text_encoding.h"

namespace ultrastar {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\f' || c == u'\v'; }

std::u16string Trim(const std::u16string& s) {
    size_t a = 0, b = s.size();
    while (a < b && IsSpace(s[a])) ++a;
    while (b > a && IsSpace(s[b - 1])) --b;
    return s.substr(a, b - a);
}

std::string TrimBytes(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// The ASCII characters of `s`; false when it holds anything else.
bool Ascii(const std::u16string& s, std::string* out) {
    out->clear();
    for (char16_t c : s) {
        if (c >= 0x80) return false;
        *out += char(c);
    }
    return true;
}

// A decimal with '.' or ',' as the separator; false when it is not a finite number.
bool ParseDecimal(const std::string& text, double* value) {
    std::string t = TrimBytes(text);
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty() || t.find_first_not_of("+-.0123456789eE") != std::string::npos) return false;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

bool ParseDecimal(const std::u16string& text, double* value) {
    std::string ascii;
    return Ascii(text, &ascii) && ParseDecimal(ascii, value);
}

// A whole number (any size; the caller checks the range).
bool ParseWhole(const std::u16string& text, double* value) {
    std::string t;
    if (!Ascii(Trim(text), &t) || t.empty()) return false;
    size_t digits = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (digits == t.size() || t.find_first_not_of("0123456789", digits) != std::string::npos) return false;
    *value = std::strtod(t.c_str(), nullptr);
    return std::isfinite(*value);
}

// A number as the file wrote it, for messages.
std::string Quote(const std::u16string& text) { return "\"" + EncodeUtf8(text) + "\""; }

std::string LineError(size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// Splits on CR, LF and CRLF; the end of the input ends the last line.
std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> rows;
    std::u16string current;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            rows.push_back(current);
            current.clear();
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            current += text[i];
        }
    }
    if (!current.empty()) rows.push_back(current);
    return rows;
}

// The #ENCODING value of a file read as bytes (every encoding it may name keeps
// ASCII as it is), with its line number; empty when the header has none.
std::string FindEncodingHeader(const std::string& bytes, uint32_t* lineNumber) {
    uint32_t number = 0;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        ++number;
        const std::string row = TrimBytes(bytes.substr(at, end - at));
        at = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
        if (row.empty()) continue;
        if (row[0] != '#') break;
        const size_t colon = row.find(':');
        if (colon == std::string::npos) continue;
        if (UpperAscii(TrimBytes(row.substr(1, colon - 1))) == "ENCODING") {
            *lineNumber = number;
            return TrimBytes(row.substr(colon + 1));
        }
    }
    return std::string();
}

// Beat-to-time mapping with tempo changes: segments in beat order, each with the
// time at its first beat (relative to GAP) and its milliseconds per beat.
class TempoMap {
public:
    TempoMap(double gapMs, double msPerBeat) : gapMs_(gapMs) { segments_.push_back({0.0, 0.0, msPerBeat}); }

    // A change at beat <= 0 replaces the opening tempo; later ones start a segment.
    void Change(double beat, double msPerBeat) {
        Segment& last = segments_.back();
        if (beat <= last.beat || (segments_.size() == 1 && beat <= 0)) {
            last.msPerBeat = msPerBeat;  // the same beat (or before 0): the later line wins
            return;
        }
        segments_.push_back({beat, last.ms + (beat - last.beat) * last.msPerBeat, msPerBeat});
    }

    // ms(b) = GAP + ms(segment start) + (b - segment start) * ms per beat of the segment
    double Ms(double beat) const {
        auto it = std::upper_bound(segments_.begin(), segments_.end(), beat,
                                   [](double b, const Segment& s) { return b < s.beat; });
        const Segment& s = it == segments_.begin() ? segments_.front() : *(it - 1);
        return gapMs_ + s.ms + (beat - s.beat) * s.msPerBeat;
    }

private:
    struct Segment {
        double beat, ms, msPerBeat;
    };
    double gapMs_;
    std::vector<Segment> segments_;
};

// Collects warnings up to a limit, then counts the rest.
class Warnings {
public:
    explicit Warnings(std::vector<std::string>* out) : out_(out) {}
    // Adds the count of the warnings that were left out.
    void Finish() {
        if (dropped_) out_->push_back("... and " + std::to_string(dropped_) + " more warnings");
        dropped_ = 0;
    }
    void Add(const std::string& warning) {
        if (out_->size() < kMaxWarnings)
            out_->push_back(warning);
        else
            ++dropped_;
    }

private:
    std::vector<std::string>* out_;
    size_t dropped_ = 0;
};

std::string FormatNumber(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

}  // namespace

const char* NoteKindName(NoteKind kind) {
    switch (kind) {
        case NoteKind::Normal: return "normal";
        case NoteKind::Golden: return "golden";
        case NoteKind::Freestyle: return "freestyle";
        case NoteKind::Rap: return "rap";
        case NoteKind::GoldenRap: return "golden rap";
    }
    return "normal";
}

std::u16string DisplayText(const std::u16string& text, bool* onlyMarks) {
    std::u16string shown;
    bool marks = false;
    for (char16_t c : text) {
        if (c == u'~')
            marks = true;
        else
            shown += c;
    }
    const std::u16string visible = Trim(shown);
    if (visible == u"-") {  // a lone hyphen: the word goes on
        marks = true;
        shown.erase(shown.find(u'-'), 1);
    }
    *onlyMarks = marks && Trim(shown).empty();
    return shown;
}

Song::Song(const Song& other) { *this = other; }

Song& Song::operator=(const Song& other) {
    if (this == &other) return *this;
    header = other.header;
    headerLine = other.headerLine;
    versionMajor = other.versionMajor;
    versionMinor = other.versionMinor;
    bpm = other.bpm;
    gapMs = other.gapMs;
    relative = other.relative;
    tempoChanges = other.tempoChanges;
    encoding = other.encoding;
    voice = other.voice;
    voiceCount = other.voiceCount;
    startMs = other.startMs;
    endMs = other.endMs;
    lines = other.lines;
    warnings = other.warnings;
    sourcePath = other.sourcePath;
    BuildSongInfo();
    return *this;
}

std::string Song::Header(const std::string& key) const {
    const auto it = header.find(key);
    return it == header.end() ? std::string() : it->second;
}

std::string Song::AudioFile() const {
    // A file with #AUDIO means it, even when the file is missing: #MP3 is its old name.
    return header.count("AUDIO") ? Header("AUDIO") : Header("MP3");
}

bool Parse(const std::vector<uint8_t>& bytes, int voice, Song* song, std::string* error) {
    if (bytes.size() > kMaxFileBytes) {
        *error = "the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
        return false;
    }
    if (voice < 1 || voice > 9) {
        *error = "the voice must be 1 to 9, not " + std::to_string(voice);
        return false;
    }
    Song result;
    result.voice = voice;
    Warnings warn(&result.warnings);

    // ---- the encoding: a byte-order mark, else #ENCODING, else UTF-8 when the
    // whole file is UTF-8, else CP1252.
    std::string raw(bytes.begin(), bytes.end());
    TextEncoding encoding;
    bool decided = false, utf16 = false;
    if (raw.size() >= 2 && uint8_t(raw[0]) == 0xFF && uint8_t(raw[1]) == 0xFE) {
        encoding = Utf16Encoding(false);
        raw.erase(0, 2);
        decided = utf16 = true;
    } else if (raw.size() >= 2 && uint8_t(raw[0]) == 0xFE && uint8_t(raw[1]) == 0xFF) {
        encoding = Utf16Encoding(true);
        raw.erase(0, 2);
        decided = utf16 = true;
    } else if (raw.size() >= 2 && raw[0] == '#' && raw[1] == '\0') {  // UTF-16 without its mark
        encoding = Utf16Encoding(false);
        decided = utf16 = true;
    } else if (raw.size() >= 2 && raw[0] == '\0' && raw[1] == '#') {
        encoding = Utf16Encoding(true);
        decided = utf16 = true;
    } else if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding = Utf8Encoding();
        raw.erase(0, 3);
        decided = true;
    }
    uint32_t encodingLine = 0;
    const std::string declared = utf16 ? std::string() : FindEncodingHeader(raw, &encodingLine);
    if (!declared.empty()) {
        TextEncoding named;
        const std::string upper = UpperAscii(declared);
        if (upper == "AUTO" || upper == "LOCALE" || upper == "ANSI") {
            // the file leaves it to the reader: guessed below
        } else if (!FindTextEncoding(declared, &named)) {
            warn.Add(LineError(encodingLine, "unknown #ENCODING \"" + declared +
                                                 "\"; the text is read as UTF-8 if it is UTF-8, else as CP1252"));
        } else if (decided && named.name != encoding.name) {
            warn.Add(LineError(encodingLine, "#ENCODING " + named.name + " is ignored: the file starts with a " +
                                                 encoding.name + " byte-order mark"));
        } else {
            encoding = named;
            decided = true;
        }
    }
    std::u16string text;
    bool converted = false;
    if (!decided) {
        converted = DecodeText(raw, Utf8Encoding(), true, &text);
        encoding = converted ? Utf8Encoding() : Cp1252Encoding();
    }
    if (!converted && !DecodeText(raw, encoding, true, &text)) {
        if (!DecodeText(raw, encoding, false, &text)) {
            *error = "the text cannot be converted from " + encoding.name;
            return false;
        }
        warn.Add("the text is not valid " + encoding.name + " throughout; what is not shows as U+FFFD");
    }
    result.encoding = encoding.name;

    const std::vector<std::u16string> rows = SplitLines(text);

    // ---- the header
    size_t body = 0;
    for (; body < rows.size(); ++body) {
        const std::u16string row = Trim(rows[body]);
        if (row.empty()) continue;
        if (row[0] != u'#') break;
        const size_t colon = row.find(u':');
        if (colon == std::u16string::npos) {
            warn.Add(LineError(body + 1, "a header line without ':' is ignored"));
            continue;
        }
        const std::string key = UpperAscii(EncodeUtf8(Trim(row.substr(1, colon - 1))));
        const std::u16string value = Trim(row.substr(colon + 1));
        if (value.empty() || result.header.count(key)) continue;  // empty is absent; the first counts
        result.header[key] = EncodeUtf8(value);
        result.headerLine[key] = uint32_t(body + 1);
    }
    auto headerLine = [&](const char* key) { return size_t(result.headerLine[key]); };

    if (result.header.count("VERSION")) {
        const std::string v = result.header["VERSION"];
        // "major.minor.patch" (or "major.minor"), digits only.
        int major = 0, minor = 0, parts = 0;
        bool digits = !v.empty() && v.size() < 32 && v.find_first_not_of("0123456789.") == std::string::npos;
        for (size_t at = 0; digits && at <= v.size(); ++parts) {
            const size_t dot = std::min(v.find('.', at), v.size());
            digits = dot > at && dot - at <= 6;
            const int n = digits ? std::atoi(v.substr(at, dot - at).c_str()) : 0;
            if (parts == 0) major = n;
            if (parts == 1) minor = n;
            at = dot + 1;
        }
        if (digits && (parts == 2 || parts == 3)) {
            result.versionMajor = major;
            result.versionMinor = minor;
            if (major > 2)
                warn.Add(LineError(headerLine("VERSION"), "version " + v + " is newer than this importer knows; read as version 2"));
        } else {
            warn.Add(LineError(headerLine("VERSION"), "#VERSION \"" + v + "\" is not a version number; read as an unversioned file"));
        }
    }
    if (!result.header.count("BPM")) {
        *error = "missing #BPM header";
        return false;
    }
    const std::string bpmText = result.header["BPM"];
    if (!ParseDecimal(bpmText, &result.bpm)) {
        *error = LineError(headerLine("BPM"), "#BPM \"" + bpmText + "\" is not a number");
        return false;
    }
    if (!(result.bpm > 0 && result.bpm <= kMaxBpm)) {
        *error = LineError(headerLine("BPM"), "#BPM " + bpmText + " is out of range: it must be more than 0 and at most " +
                                                  FormatNumber(kMaxBpm));
        return false;
    }
    if (result.header.count("GAP")) {
        const std::string gap = result.header["GAP"];
        if (!ParseDecimal(gap, &result.gapMs)) {
            *error = LineError(headerLine("GAP"), "#GAP \"" + gap + "\" is not a number");
            return false;
        }
        if (std::fabs(result.gapMs) > kMaxTimeMs) {
            *error = LineError(headerLine("GAP"), "#GAP " + gap + " ms is beyond the 32-bit millisecond range");
            return false;
        }
    }
    // #START: seconds before version 2, milliseconds from then on; #END: milliseconds.
    for (const char* key : {"START", "END"}) {
        if (!result.header.count(key)) continue;
        const std::string value = result.header[key];
        double v = 0;
        const double scale = std::string(key) == "START" && result.versionMajor < 2 ? 1000.0 : 1.0;
        if (!ParseDecimal(value, &v) || v < 0 || v * scale > kMaxTimeMs) {
            warn.Add(LineError(headerLine(key), std::string("#") + key + " \"" + value + "\" is not a time; ignored"));
            continue;
        }
        (std::string(key) == "START" ? result.startMs : result.endMs) = uint32_t(std::lround(v * scale));
    }
    if (result.header.count("RELATIVE") && UpperAscii(result.header["RELATIVE"]) == "YES") {
        if (result.versionMajor >= 1)
            warn.Add(LineError(headerLine("RELATIVE"), "#RELATIVE is not part of version " +
                                                           std::to_string(result.versionMajor) + " files; ignored"));
        else
            result.relative = true;
    }
    const double beatsPerMinuteScale = result.versionMajor >= 2 ? 60000.0 : 15000.0;
    const bool legacyBothVoices = result.versionMajor < 1;  // old duets: P3 is sung by both voices

    // ---- the body: lines of the chosen voice, beats absolute
    struct VoiceState {
        int64_t offset = 0;  // relative files: the beat the current line counts from
        Line line;
    };
    VoiceState voices[10];
    std::vector<Line> lines;
    std::vector<TempoChange> tempo;
    size_t syllableCount = 0;
    int current = 1, highestVoice = 1;
    auto flush = [&](int v) {
        if (!voices[v].line.syllables.empty()) lines.push_back(std::move(voices[v].line));
        voices[v].line = Line();
    };
    // The voices whose lines a note or break of voice `v` belongs to.
    auto targets = [&](int v) {
        std::vector<int> t;
        if (v == voice) t.push_back(v);
        if (v == 3 && legacyBothVoices && voice <= 2) t.push_back(voice);
        return t;
    };
    for (size_t r = body; r < rows.size(); ++r) {
        const size_t number = r + 1;
        const std::u16string& rawRow = rows[r];
        const std::u16string row = Trim(rawRow);
        if (row.empty()) continue;
        const char16_t type = row[0];
        if (type == u'E') break;
        if (type == u'#') {
            warn.Add(LineError(number, "a header line among the notes is ignored"));
            continue;
        }
        if (type == u'P') {  // voice change: "P1", "P 2"
            double v = 0;
            if (!ParseWhole(row.substr(1), &v) || v < 1 || v > 9) {
                *error = LineError(number, "unknown duet voice " + Quote(row));
                return false;
            }
            current = int(v);
            highestVoice = std::max(highestVoice, current);
            continue;
        }
        // The whitespace-separated fields after the type letter.
        std::vector<std::u16string> fields;
        size_t at = rawRow.find(type) + 1;
        auto nextField = [&]() {
            while (at < rawRow.size() && IsSpace(rawRow[at])) ++at;
            const size_t start = at;
            while (at < rawRow.size() && !IsSpace(rawRow[at])) ++at;
            return rawRow.substr(start, at - start);
        };
        if (type == u'-') {
            const std::u16string a = nextField(), b = nextField();
            double first = 0, second = 0;
            if (a.empty()) {  // "-" alone: a line break all the same
                warn.Add(LineError(number, "a line break without a beat"));
                for (int v : targets(current)) flush(v);
                continue;
            }
            if (!ParseWhole(a, &first) || (!b.empty() && !ParseWhole(b, &second)) || std::fabs(first) > kMaxBeat ||
                std::fabs(second) > kMaxBeat) {
                *error = LineError(number, "a line break needs one or two beat numbers: " + Quote(row));
                return false;
            }
            for (int v : targets(current)) flush(v);
            if (result.relative) voices[current].offset += int64_t(b.empty() ? first : second);
            continue;
        }
        if (type == u'B') {  // tempo change: "B beat bpm"
            const std::u16string a = nextField(), b = nextField();
            TempoChange change;
            change.sourceLine = uint32_t(number);
            if (!ParseDecimal(a, &change.beat) || !ParseDecimal(b, &change.bpm)) {
                *error = LineError(number, "a tempo change needs a beat and a BPM: " + Quote(row));
                return false;
            }
            if (!(change.bpm > 0 && change.bpm <= kMaxBpm)) {
                *error = LineError(number, "BPM " + EncodeUtf8(b) + " is out of range: it must be more than 0 and at most " +
                                               FormatNumber(kMaxBpm));
                return false;
            }
            if (std::fabs(change.beat) > kMaxBeat) {
                *error = LineError(number, "beat " + EncodeUtf8(a) + " is out of range");
                return false;
            }
            if (result.relative) change.beat += double(voices[current].offset);
            tempo.push_back(change);
            continue;
        }
        NoteKind kind = NoteKind::Freestyle;
        bool known = true;
        switch (type) {
            case u':': kind = NoteKind::Normal; break;
            case u'*': kind = NoteKind::Golden; break;
            case u'F': kind = NoteKind::Freestyle; break;
            case u'R': kind = NoteKind::Rap; break;
            case u'G': kind = NoteKind::GoldenRap; break;
            default: known = false;
        }
        // "T start duration pitch text": the text is everything after the one
        // whitespace character that follows the pitch, its own spaces kept.
        const std::u16string startText = nextField(), durationText = nextField(), pitchText = nextField();
        double start = 0, duration = 0, pitch = 0;
        const bool numbers = ParseWhole(startText, &start) && ParseWhole(durationText, &duration) &&
                             ParseWhole(pitchText, &pitch);
        if (!known) {
            // Unknown note types count as freestyle; anything else is skipped.
            warn.Add(LineError(number, "unknown line type '" + EncodeUtf8(std::u16string(1, type)) + "'" +
                                           (numbers ? ", read as a freestyle note" : ", line ignored")));
            if (!numbers) continue;
        }
        if (!numbers) {
            *error = LineError(number, "a note needs a start beat, a duration and a pitch: " + Quote(row));
            return false;
        }
        if (std::fabs(start) > kMaxBeat) {
            *error = LineError(number, "start beat " + EncodeUtf8(startText) + " is out of range");
            return false;
        }
        if (duration < 0 || duration > kMaxBeat) {
            *error = LineError(number, "duration " + EncodeUtf8(durationText) + " is " +
                                           (duration < 0 ? "negative" : "out of range"));
            return false;
        }
        if (HasPitch(kind) && std::fabs(pitch) > kMaxPitch) {
            *error = LineError(number, "pitch " + EncodeUtf8(pitchText) + " is beyond ±" + std::to_string(kMaxPitch));
            return false;
        }
        const std::vector<int> to = targets(current);
        if (to.empty()) continue;
        Syllable s;
        s.kind = kind;
        s.startBeat = int32_t(start);
        s.durationBeats = int32_t(duration);
        s.beat = voices[current].offset + int64_t(start);
        s.pitch = HasPitch(kind) ? int32_t(pitch) : 0;
        s.sourceLine = uint32_t(number);
        if (at < rawRow.size()) s.text = rawRow.substr(at + 1);
        if (s.text.size() > kMaxWordUnits) {
            size_t cut = kMaxWordUnits;
            if (s.text[cut - 1] >= 0xD800 && s.text[cut - 1] <= 0xDBFF) --cut;  // keep surrogate pairs whole
            s.text.resize(cut);
            warn.Add(LineError(number, "the syllable is longer than " + std::to_string(kMaxWordUnits) +
                                           " characters and is cut there"));
        }
        if (++syllableCount > kMaxSyllables) {
            *error = LineError(number, "more than " + std::to_string(kMaxSyllables) + " notes");
            return false;
        }
        for (int v : to) voices[v].line.syllables.push_back(s);
    }
    for (int v = 1; v <= 9; ++v) flush(v);
    result.voiceCount = highestVoice;
    if (lines.empty()) {
        *error = voice == 1 ? "the file has no notes" : "voice " + std::to_string(voice) + " has no notes";
        return false;
    }

    // ---- times: the tempo map over absolute beats
    std::stable_sort(tempo.begin(), tempo.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.beat < b.beat; });
    TempoMap map(result.gapMs, beatsPerMinuteScale / result.bpm);
    for (const TempoChange& change : tempo) map.Change(change.beat, beatsPerMinuteScale / change.bpm);
    result.tempoChanges = tempo;
    for (Line& line : lines)
        for (Syllable& s : line.syllables) {
            const double startMs = map.Ms(double(s.beat));
            const double endMs = map.Ms(double(s.beat) + s.durationBeats);
            if (startMs > kMaxTimeMs || endMs > kMaxTimeMs || startMs < -kMaxTimeMs) {
                *error = LineError(s.sourceLine, "the note at beat " + std::to_string(s.beat) + " falls at " +
                                                     FormatNumber(std::max(startMs, endMs)) +
                                                     " ms, beyond the 32-bit millisecond range");
                return false;
            }
            if (startMs < 0) {
                warn.Add(LineError(s.sourceLine, "the note would start at " + FormatNumber(std::round(startMs)) +
                                                     " ms, before the song; it starts at 0"));
            }
            s.startMs = uint32_t(std::lround(std::max(0.0, startMs)));
            s.endMs = uint32_t(std::lround(std::max(0.0, endMs)));
        }
    for (Line& line : lines)
        std::stable_sort(line.syllables.begin(), line.syllables.end(),
                         [](const Syllable& a, const Syllable& b) { return a.startMs < b.startMs; });
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.syllables.front().startMs < b.syllables.front().startMs;
    });
    result.lines = std::move(lines);
    warn.Finish();
    *song = result;  // rebuilds the SongInfo
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
        if (bytes.size() > kMaxFileBytes) {
            std::fclose(f);
            *error = path + " is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
            return false;
        }
    }
    std::fclose(f);
    if (!Parse(bytes, voice, song, error)) {
        *error = path + ": " + *error;
        return false;
    }
    song->sourcePath = path;
    return true;
}

void Song::BuildSongInfo() {
    songLines_.clear();
    songWords_.clear();
    songNotes_.clear();
    texts_.clear();
    noteKinds.clear();
    wordSourceLines.clear();
    size_t syllables = 0;
    for (const Line& l : lines) syllables += l.syllables.size();
    songWords_.reserve(syllables);
    songNotes_.reserve(syllables);
    int32_t lowest = INT32_MAX, highest = INT32_MIN;
    uint32_t last = 0;
    std::vector<std::pair<size_t, size_t>> wordRanges, noteRanges;
    for (const Line& l : lines) {
        const size_t firstWord = songWords_.size(), firstNote = songNotes_.size();
        for (const Syllable& s : l.syllables) {
            bool onlyMarks = false;
            std::u16string shown = DisplayText(s.text, &onlyMarks);
            if (onlyMarks && songWords_.size() > firstWord) {
                // A melisma: the previous word is sung on until this note ends.
                SongWord& previous = songWords_.back();
                previous.endTime = std::max(previous.endTime, s.endMs);
                if (!shown.empty() && texts_.back().size() + shown.size() <= kMaxWordUnits) {
                    texts_.back() += shown;
                    previous.text = reinterpret_cast<const uint16_t*>(texts_.back().c_str());
                    previous.textLength = uint32_t(texts_.back().size());
                }
            } else {
                texts_.push_back(shown);
                songWords_.push_back({s.startMs, s.endMs, reinterpret_cast<const uint16_t*>(texts_.back().c_str()),
                                      uint32_t(texts_.back().size())});
                wordSourceLines.push_back(s.sourceLine);
            }
            if (HasPitch(s.kind)) {  // rap and freestyle notes are not sung at a pitch
                const int32_t midi = s.pitch + 60;
                songNotes_.push_back({s.startMs, s.endMs, float(midi)});
                noteKinds.push_back(s.kind);
                lowest = std::min(lowest, midi);
                highest = std::max(highest, midi);
            }
            last = std::max(last, s.endMs);
        }
        wordRanges.push_back({firstWord, songWords_.size() - firstWord});
        noteRanges.push_back({firstNote, songNotes_.size() - firstNote});
        uint32_t start = UINT32_MAX, end = 0;
        for (const Syllable& s : l.syllables) {
            start = std::min(start, s.startMs);
            end = std::max(end, s.endMs);
        }
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
    info.lines = songLines_.empty() ? nullptr : songLines_.data();
    info.lineCount = uint32_t(songLines_.size());
}

}  // namespace ultrastar
