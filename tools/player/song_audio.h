// song_audio.h - the sound of a karaoke video: the song's own audio file, or a
// guide melody made from its notes.
#ifndef RENDERER_TOOLS_PLAYER_SONG_AUDIO_H
#define RENDERER_TOOLS_PLAYER_SONG_AUDIO_H

#include <cstdint>
#include <string>
#include <vector>

#include "ultrastar/ultrastar.h"

namespace player {

// The audio file the song names (#AUDIO, else #MP3), relative to the song file's
// folder; a name whose case differs from the file's is found too (collections
// made on Windows).  Empty when the song names none or it is not there; `note`
// then says why when the song did name one.
std::string FindAudioFile(const ultrastar::Song& song, std::string* note);

constexpr int kGuideSampleRate = 44100;

// The guide melody from `fromMs` to `toMs` of song time, mono 16-bit samples:
// each pitched note a soft tone at its pitch (MIDI p: 440 * 2^((p - 69) / 12) Hz)
// from its start to its end, rising in 15 ms and falling in the last 60 ms; each
// rap note a short low knock at its start; freestyle notes silent.
std::vector<int16_t> SynthesiseGuideMelody(const ultrastar::Song& song, uint32_t fromMs, uint32_t toMs,
                                           int sampleRate = kGuideSampleRate);

// Writes mono 16-bit PCM as a WAV file.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int sampleRate);

}  // namespace player

#endif
