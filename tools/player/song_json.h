// song_json.h - an imported song as JSON, exactly as the renderer is given it.
#ifndef RENDERER_TOOLS_PLAYER_SONG_JSON_H
#define RENDERER_TOOLS_PLAYER_SONG_JSON_H

#include <string>

#include "ultrastar/ultrastar.h"

namespace player {

// {"file", "title", "artist", "encoding", "version", "bpm", "gapMs", "relative",
//  "tempoChanges": [{"beat", "bpm", "line"}], "voice", "voices", "startMs", "endMs",
//  "audio", "minPitch", "maxPitch", "lengthMs", "warnings": [...],
//  "lines": [{"startMs", "endMs",
//             "words": [{"text", "startMs", "endMs", "line"}],
//             "notes": [{"startMs", "endMs", "pitch", "kind"}]}]}
// Times in milliseconds, pitches as MIDI numbers, "line" the line of the file.
std::string SongJson(const ultrastar::Song& song);

}  // namespace player

#endif
