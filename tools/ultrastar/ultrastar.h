// ultrastar.h - reading UltraStar .txt karaoke files into the renderer's SongInfo.
//
// The importer is part of the tools, not of renderer.dll: a host would do this.
//
//   #TITLE:Jasmine Flower        header lines #KEY:VALUE (keys case-insensitive,
//   #BPM:300                     the first of a repeated key counts); decimals
//   #GAP:1000                    with ',' or '.'
//   : 0 4 2 Hao                  note: type start duration pitch text
//   * 4 4 4 yi                   golden; F freestyle, R rap, G golden rap
//   - 10                         line break ("- 10 12" in relative files)
//   B 16 150                     tempo change: from beat 16 on, BPM 150
//   P2                           duet: the notes that follow are voice 2's
//   E                            end; anything after it is ignored
//
// Time of a beat b:   ms = GAP + b * 15000 / BPM   (unversioned and version 1
// files: BPM counts quarter beats), ms = GAP + b * 60000 / BPM from version 2 on.
// With tempo changes the beats before a change run at the old BPM, those after it
// at the new one: ms(b) = GAP + ms of the whole segments before b + the rest of b
// at the BPM of its segment.  Relative files (#RELATIVE:yes, unversioned only)
// count each line's beats from an offset that "- a b" advances by b ("- a" by a);
// every voice keeps its own offset, across voice changes.
//
// Pitch: semitones from C4, stored as MIDI numbers (pitch + 60); rap and
// freestyle notes have none.  Text: UTF-16 with a byte-order mark; otherwise as
// #ENCODING says ("auto", "locale" and "ansi" leave it open); otherwise UTF-8
// when the whole file is UTF-8, else CP1252.
//
// Refused with an error naming the line and the value: #BPM outside (0, 100000],
// times outside the signed 32-bit millisecond range, a pitch beyond ±1000, a
// negative duration, malformed numbers.  Loaded with a warning naming the line:
// notes before 0 ms (a negative #GAP; they start at 0), an unknown #ENCODING,
// unknown line types, over-long syllables (cut at 4096 units).
#ifndef RENDERER_TOOLS_ULTRASTAR_H
#define RENDERER_TOOLS_ULTRASTAR_H

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "renderer.h"

namespace ultrastar {

// Limits of what is imported.
constexpr size_t kMaxFileBytes = size_t(16) << 20;
constexpr double kMaxBpm = 100000.0;
constexpr int32_t kMaxPitch = 1000;               // semitones either side of C4
constexpr double kMaxTimeMs = 2147483647.0;       // signed 32-bit milliseconds
constexpr double kMaxBeat = 1e9;
constexpr size_t kMaxSyllables = 100000;          // per voice
constexpr size_t kMaxWordUnits = 4096;            // UTF-16 units of one syllable
constexpr size_t kMaxWarnings = 50;

enum class NoteKind { Normal, Golden, Freestyle, Rap, GoldenRap };

// "normal", "golden", "freestyle", "rap", "golden rap".
const char* NoteKindName(NoteKind kind);

// True for the kinds sung at a pitch (they become the renderer's notes).
inline bool HasPitch(NoteKind kind) { return kind == NoteKind::Normal || kind == NoteKind::Golden; }

struct Syllable {
    NoteKind kind = NoteKind::Normal;
    int32_t startBeat = 0, durationBeats = 0;  // as written (relative files: from the line's offset)
    int64_t beat = 0;                          // absolute start beat
    int32_t pitch = 0;                         // semitones relative to C4
    std::u16string text;                       // as written, spaces and marks included
    uint32_t startMs = 0, endMs = 0;
    uint32_t sourceLine = 0;                   // line number in the file
};

struct Line {
    std::vector<Syllable> syllables;
};

struct TempoChange {
    double beat = 0;  // absolute beat from which the tempo holds
    double bpm = 0;
    uint32_t sourceLine = 0;
};

// An imported song; `info` points into the song's own arrays (a copy rebuilds them).
struct Song {
    std::map<std::string, std::string> header;   // keys upper-case, values trimmed, UTF-8
    std::map<std::string, uint32_t> headerLine;  // where each key was read
    int versionMajor = 0, versionMinor = 0;      // 0.0: unversioned
    double bpm = 0, gapMs = 0;
    bool relative = false;
    std::vector<TempoChange> tempoChanges;       // in beat order
    std::string encoding;                        // the encoding the text was read in
    int voice = 1;                               // the duet voice imported
    int voiceCount = 1;                          // the highest voice number in the file
    uint32_t startMs = 0;                        // #START, where playback begins
    uint32_t endMs = 0;                          // #END, where it stops; 0 for the song's end
    std::vector<Line> lines;
    std::vector<std::string> warnings;           // "line N: ...", at most kMaxWarnings and a count
    std::string sourcePath;                      // the file, when loaded from one
    SongInfo info = {};

    // For each SongNote of `info` (line by line), its kind; for each SongWord,
    // the file line of its (first) syllable.
    std::vector<NoteKind> noteKinds;
    std::vector<uint32_t> wordSourceLines;

    Song() = default;
    Song(const Song& other);
    Song& operator=(const Song& other);

    std::string Header(const std::string& key) const;  // "" when absent
    std::string Title() const { return Header("TITLE"); }
    std::string Artist() const { return Header("ARTIST"); }
    // The audio file the header names: #AUDIO, or #MP3 when there is no #AUDIO.
    std::string AudioFile() const;

    // Builds `info` (and the arrays behind it) from `lines`: one word per
    // syllable with the display marks taken out, one note per pitched syllable.
    void BuildSongInfo();

private:
    std::vector<SongLine> songLines_;
    std::vector<SongWord> songWords_;
    std::vector<SongNote> songNotes_;
    std::deque<std::u16string> texts_;
};

// Parses the bytes of a file.  `voice` chooses the part of a duet (1 to 9).
// False with a message naming the line and the problem when the file is malformed.
bool Parse(const std::vector<uint8_t>& bytes, int voice, Song* song, std::string* error);

// Reads and parses a file (at most kMaxFileBytes).
bool Load(const std::string& path, int voice, Song* song, std::string* error);

// The text a syllable shows: its text without the melisma mark '~'.  `onlyMarks`
// tells that the syllable was nothing but marks ("~", "~ ", "-"): it continues
// the previous syllable rather than showing a word of its own.
std::u16string DisplayText(const std::u16string& text, bool* onlyMarks);

}  // namespace ultrastar

#endif
