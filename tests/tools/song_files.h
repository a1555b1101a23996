// song_files.h - UltraStar files written by the tests, read back through Load,
// and the time rule of the format that the expected values are worked out with.
#ifndef RENDERER_TESTS_TOOLS_SONG_FILES_H
#define RENDERER_TESTS_TOOLS_SONG_FILES_H

#include <cmath>
#include <string>
#include <vector>

#include "test_files.h"
#include "ultrastar/ultrastar.h"

namespace song_files {

// Writes `bytes` as <name>.txt in the test's folder and returns the path.
inline std::string Write(const std::string& name, const std::string& bytes) {
    static const std::string dir = test_files::TempDir("ultrastar_files");
    const std::string path = dir + "/" + name + ".txt";
    test_files::Write(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return path;
}

struct Loaded {
    bool ok = false;
    ultrastar::Song song;
    std::string error;
};

// Writes the file and loads it.
inline Loaded Load(const std::string& name, const std::string& bytes, int voice = 1) {
    Loaded l;
    l.ok = ultrastar::Load(Write(name, bytes), voice, &l.song, &l.error);
    return l;
}

// The time of beat b in an unversioned or version 1 file, where BPM counts
// quarter beats: GAP + b * 15000 / BPM, rounded to whole milliseconds.
inline uint32_t QuarterBeatMs(double gap, double bpm, double beat) {
    return uint32_t(std::lround(gap + beat * 15000.0 / bpm));
}

// All syllables of the song in time order.
inline std::vector<ultrastar::Syllable> Syllables(const ultrastar::Song& song) {
    std::vector<ultrastar::Syllable> all;
    for (const ultrastar::Line& line : song.lines)
        for (const ultrastar::Syllable& s : line.syllables) all.push_back(s);
    return all;
}

// The text of word w of line l as the renderer gets it.
inline std::u16string WordText(const ultrastar::Song& song, uint32_t l, uint32_t w) {
    const SongWord& word = song.info.lines[l].words[w];
    return std::u16string(reinterpret_cast<const char16_t*>(word.text), word.textLength);
}

// True when any warning contains all of `parts`.
inline bool Warned(const ultrastar::Song& song, const std::vector<std::string>& parts) {
    for (const std::string& w : song.warnings) {
        bool all = true;
        for (const std::string& p : parts) all &= w.find(p) != std::string::npos;
        if (all) return true;
    }
    return false;
}

}  // namespace song_files

#endif
