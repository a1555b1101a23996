// ultrastar_fuzzer.cpp - any bytes through the UltraStar importer, for both duet
// voices: it refuses them with a message or builds a SongInfo whose times,
// counts and pitches are consistent, and whose copies are the same song.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ultrastar/text_encoding.h"
#include "ultrastar/ultrastar.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSong(const ultrastar::Song& song) {
    const SongInfo& info = song.info;
    Check(info.lineCount == song.lines.size() && info.lineCount > 0 && info.lines);
    Check(info.minPitch < info.maxPitch);
    Check(song.warnings.size() <= ultrastar::kMaxWarnings + 1);
    size_t words = 0, notes = 0;
    for (uint32_t i = 0; i < info.lineCount; ++i) {
        const SongLine& line = info.lines[i];
        Check(line.startTime <= line.endTime && line.endTime <= uint32_t(INT32_MAX) && line.endTime < info.endTime);
        Check(i == 0 || info.lines[i - 1].startTime <= line.startTime);
        Check((line.wordCount == 0) == (line.words == nullptr) && (line.noteCount == 0) == (line.notes == nullptr));
        for (uint32_t w = 0; w < line.wordCount; ++w) {
            const SongWord& word = line.words[w];
            Check(line.startTime <= word.startTime && word.startTime <= word.endTime && word.endTime <= line.endTime);
            Check(word.textLength <= ultrastar::kMaxWordUnits && word.text && word.text[word.textLength] == 0);
        }
        for (uint32_t n = 0; n < line.noteCount; ++n) {
            const SongNote& note = line.notes[n];
            Check(line.startTime <= note.startTime && note.startTime <= note.endTime && note.endTime <= line.endTime);
            Check(note.pitch >= info.minPitch && note.pitch <= info.maxPitch);
            Check(note.pitch >= 60 - ultrastar::kMaxPitch && note.pitch <= 60 + ultrastar::kMaxPitch);
        }
        words += line.wordCount;
        notes += line.noteCount;
    }
    Check(words == song.wordSourceLines.size() && notes == song.noteKinds.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    for (int voice = 1; voice <= 2; ++voice) {
        ultrastar::Song song;
        std::string error;
        if (!ultrastar::Parse(bytes, voice, &song, &error)) {
            Check(!error.empty());
            continue;
        }
        CheckSong(song);
        const ultrastar::Song copy = song;
        CheckSong(copy);
        Check(copy.info.lineCount == song.info.lineCount && copy.info.endTime == song.info.endTime &&
              copy.info.lines != song.info.lines);
        // Header values are UTF-8, whatever the file was.
        std::u16string text;
        for (const auto& field : song.header)
            Check(ultrastar::DecodeText(field.second, ultrastar::Utf8Encoding(), true, &text));
    }
    return 0;
}
