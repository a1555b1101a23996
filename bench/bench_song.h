// bench_song.h - a song for benchmarks: 30 lines of 10 words, each word one
// Chinese character, 300 distinct characters in all, a note under every word.
#ifndef RENDERER_BENCH_BENCH_SONG_H
#define RENDERER_BENCH_BENCH_SONG_H

#include <cstdint>
#include <vector>

#include "renderer.h"

struct BenchSong {
    std::vector<uint16_t> texts;
    std::vector<SongWord> words;
    std::vector<SongNote> notes;
    std::vector<SongLine> lines;
    SongInfo info = {};

    explicit BenchSong(int lineCount = 30, int wordsPerLine = 10) {
        const int total = lineCount * wordsPerLine;
        texts.resize(size_t(total) * 2);
        words.resize(size_t(total));
        notes.resize(size_t(total));
        for (int i = 0; i < total; ++i) {
            texts[size_t(i) * 2] = uint16_t(0x4E00 + i * 37 % 20000);  // distinct CJK ideographs
            texts[size_t(i) * 2 + 1] = 0;
            const uint32_t line = uint32_t(i / wordsPerLine), k = uint32_t(i % wordsPerLine);
            const uint32_t start = 1000 + line * 4000 + k * 300;
            words[size_t(i)] = {start, start + 280, &texts[size_t(i) * 2], 1};
            notes[size_t(i)] = {start, start + 280, 55.0f + float((i * 5) % 17)};
        }
        for (int l = 0; l < lineCount; ++l) {
            const uint32_t start = 1000 + uint32_t(l) * 4000;
            lines.push_back({start, start + uint32_t(wordsPerLine) * 300, &words[size_t(l * wordsPerLine)],
                             uint32_t(wordsPerLine), &notes[size_t(l * wordsPerLine)], uint32_t(wordsPerLine)});
        }
        info = {74.0f, 52.0f, 0, 1000 + uint32_t(lineCount) * 4000 + 1000, 0, lines.data(), uint32_t(lines.size())};
    }
};

#endif
