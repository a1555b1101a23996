// song_json.cpp - see song_json.h.
#include "song_json.h"

#include <nlohmann/json.hpp>

#include "ultrastar/text_encoding.h"

namespace player {

std::string SongJson(const ultrastar::Song& song) {
    using Json = nlohmann::ordered_json;
    Json j;
    j["file"] = song.sourcePath;
    j["title"] = song.Title();
    j["artist"] = song.Artist();
    j["encoding"] = song.encoding;
    j["version"] = song.versionMajor || song.versionMinor
                       ? std::to_string(song.versionMajor) + "." + std::to_string(song.versionMinor)
                       : std::string("unversioned");
    j["bpm"] = song.bpm;
    j["gapMs"] = song.gapMs;
    j["relative"] = song.relative;
    Json tempo = Json::array();
    for (const ultrastar::TempoChange& t : song.tempoChanges)
        tempo.push_back({{"beat", t.beat}, {"bpm", t.bpm}, {"line", t.sourceLine}});
    j["tempoChanges"] = tempo;
    j["voice"] = song.voice;
    j["voices"] = song.voiceCount;
    j["startMs"] = song.startMs;
    j["endMs"] = song.endMs;
    j["audio"] = song.AudioFile();
    j["minPitch"] = song.info.minPitch;
    j["maxPitch"] = song.info.maxPitch;
    j["lengthMs"] = song.info.endTime;
    j["warnings"] = song.warnings;
    Json lines = Json::array();
    size_t word = 0, note = 0;
    for (uint32_t i = 0; i < song.info.lineCount; ++i) {
        const SongLine& l = song.info.lines[i];
        Json words = Json::array(), notes = Json::array();
        for (uint32_t w = 0; w < l.wordCount; ++w, ++word) {
            const SongWord& sw = l.words[w];
            const std::u16string text(reinterpret_cast<const char16_t*>(sw.text), sw.textLength);
            words.push_back({{"text", ultrastar::EncodeUtf8(text)},
                             {"startMs", sw.startTime},
                             {"endMs", sw.endTime},
                             {"line", word < song.wordSourceLines.size() ? song.wordSourceLines[word] : 0}});
        }
        for (uint32_t n = 0; n < l.noteCount; ++n, ++note) {
            const SongNote& sn = l.notes[n];
            notes.push_back({{"startMs", sn.startTime},
                             {"endMs", sn.endTime},
                             {"pitch", sn.pitch},
                             {"kind", ultrastar::NoteKindName(note < song.noteKinds.size() ? song.noteKinds[note]
                                                                                          : ultrastar::NoteKind::Normal)}});
        }
        lines.push_back({{"startMs", l.startTime}, {"endMs", l.endTime}, {"words", words}, {"notes", notes}});
    }
    j["lines"] = lines;
    return j.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace player
