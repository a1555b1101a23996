// ultrastar.h - reading UltraStar .txt karaoke files into the renderer's SongInfo.
//
// The importer is part of the tools, not of renderer.dll: a host would do this.
//
//   #TITLE:Jasmine Flower        header lines #KEY:VALUE (keys case-insensitive)
//   #BPM:300                     decimals with ',' or '.'
//   #GAP:1000                    milliseconds before beat 0
//   : 0 4 2 Hao                  note: type start duration pitch text
//   * 4 4 4 yi                   golden; F freestyle, R rap, G golden rap
//   - 10                         line break (two numbers in relative files)
//   E                            end; anything after it is ignored
//
// Time: ms = GAP + beat * 15000 / BPM before version 2 (BPM is a quarter-beat
// rate), ms = GAP + beat * 60000 / BPM from version 2 on.  Pitch: semitones from
// C4, stored as MIDI numbers (pitch + 60).  Text: UTF-8 (BOM ignored), CP1252 when
// the bytes are not UTF-8, or as #ENCODING says.
#ifndef RENDERER_TOOLS_ULTRASTAR_H
#define RENDERER_TOOLS_ULTRASTAR_H

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "renderer.h"

namespace ultrastar {

enum class NoteKind { Normal, Golden, Freestyle, Rap, GoldenRap };

struct Syllable {
    NoteKind kind = NoteKind::Normal;
    int32_t startBeat = 0, durationBeats = 0;
    int32_t pitch = 0;   // semitones relative to C4
    std::u16string text;  // as written, spaces and '~' included
    uint32_t startMs = 0, endMs = 0;
};

struct Line {
    std::vector<Syllable> syllables;
};

// An imported song; `info` points into the song's own arrays.
struct Song {
    std::map<std::string, std::string> header;  // keys upper-case, values trimmed (UTF-8)
    double bpm = 0, gapMs = 0;
    std::vector<Line> lines;
    SongInfo info = {};

    std::string Title() const;
    std::string Artist() const;

    // Builds `info` (and the arrays behind it) from `lines`.
    void BuildSongInfo();

private:
    std::vector<SongLine> songLines_;
    std::vector<SongWord> songWords_;
    std::vector<SongNote> songNotes_;
    std::deque<std::u16string> texts_;
};

// Parses the bytes of a file.  `voice` chooses the part of a duet (1 or 2).
// False with a message naming the line and the problem when the file is malformed.
bool Parse(const std::vector<uint8_t>& bytes, int voice, Song* song, std::string* error);

// Reads and parses a file.
bool Load(const std::string& path, int voice, Song* song, std::string* error);

// Text decoding used by the parser, exposed for tests.
bool DecodeUtf8(const std::string& bytes, std::u16string* out);
std::u16string DecodeCp1252(const std::string& bytes);
std::string EncodeUtf8(const std::u16string& text);

}  // namespace ultrastar

#endif
