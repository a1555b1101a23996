// fuzz_song.h - a SongInfo record read from a fuzzer's input, and layouts.
//
// Song: pitches and times (special values included), a line count below 16, then
// per line its times, word and note counts below 8 and a flag byte, its words
// (times, a length below 24 and that many UTF-16 units, a quarter of them
// from a palette of troublesome units) and its notes (times, pitch).  The flag byte
// sometimes nulls an array while keeping its count, claims a huge count for a null
// array, or gives a word a length over 4096 (refused before its text is read).
// A whole song holds at most 1024 text units, so that one input costs
// milliseconds.
#ifndef RENDERER_FUZZ_FUZZ_SONG_H
#define RENDERER_FUZZ_FUZZ_SONG_H

#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "fuzz_reader.h"
#include "renderer.h"

class FuzzSong {
public:
    // The record stays valid until the next Read.  `nullLines` lets the input
    // hand over a null line array.
    SongInfo* Read(FuzzReader* in, bool nullLines) {
        lines_.clear();
        words_.clear();
        notes_.clear();
        texts_.clear();
        song_ = SongInfo();
        song_.maxPitch = in->Float();
        song_.minPitch = in->Float();
        song_.startTime = in->UInt();
        song_.endTime = in->UInt();
        song_.reserved = in->Take<uint32_t>();
        const uint32_t lineCount = in->Take<uint8_t>() % 16;
        const uint8_t songFlags = in->Take<uint8_t>();
        lines_.resize(lineCount);
        uint32_t unitsLeft = 1024;
        for (SongLine& line : lines_) {
            line.startTime = in->UInt();
            line.endTime = in->UInt();
            const uint32_t wordCount = in->Take<uint8_t>() % 8;
            const uint32_t noteCount = in->Take<uint8_t>() % 8;
            const uint8_t flags = in->Take<uint8_t>();
            words_.emplace_back(wordCount);
            for (SongWord& w : words_.back()) {
                w.startTime = in->UInt();
                w.endTime = in->UInt();
                uint32_t length = in->Take<uint8_t>() % 24;
                if (length > unitsLeft) length = unitsLeft;
                unitsLeft -= length;
                texts_.emplace_back(length + 1, 0);
                for (uint32_t k = 0; k < length; ++k) texts_.back()[k] = Unit(in);
                w.text = (flags & 4) ? nullptr : texts_.back().data();
                w.textLength = (flags & 64) ? 4097 : length;
            }
            notes_.emplace_back(noteCount);
            for (SongNote& n : notes_.back()) {
                n.startTime = in->UInt();
                n.endTime = in->UInt();
                n.pitch = in->Float();
            }
            line.words = (flags & 1) ? nullptr : words_.back().data();
            line.wordCount = (flags & 8) && !line.words ? 0xFFFFFFFFu : wordCount;
            line.notes = (flags & 2) ? nullptr : notes_.back().data();
            line.noteCount = (flags & 16) && !line.notes ? 0xFFFFFFFFu : noteCount;
        }
        if (lineCount == 0) lines_.resize(1);  // a valid pointer for an empty song
        song_.lines = (nullLines && (songFlags & 4)) ? nullptr : lines_.data();
        song_.lineCount = (songFlags & 8) && !song_.lines ? 0xFFFFFFFFu : lineCount;
        return &song_;
    }

private:
    // A text unit: a selector byte below 64 picks from a palette of troublesome
    // units (spaces of several kinds, Latin, CJK, a lone surrogate of each half,
    // a combining mark, Thai, a noncharacter, zero), otherwise the unit follows.
    static uint16_t Unit(FuzzReader* in) {
        static constexpr uint16_t kPalette[] = {u' ',    0x00A0, 0x3000, u'a',   u'W',   0x00C9, 0x8309,
                                                0x8389, 0x82B1, 0xD83C, 0xDFB5, 0x0301, 0x0E01, 0xFFFF,
                                                0x0000, 0xFFFD};
        const uint8_t selector = in->Take<uint8_t>();
        if (selector < 64) return kPalette[selector % (sizeof kPalette / sizeof kPalette[0])];
        return in->Take<uint16_t>();
    }

    SongInfo song_ = {};
    std::vector<SongLine> lines_;
    std::deque<std::vector<SongWord>> words_;
    std::deque<std::vector<SongNote>> notes_;
    std::deque<std::vector<uint16_t>> texts_;
};

// Reads a layout record, every field with special values, then keeps the window
// at most 512 x 256 and every strip height at most 512 rows so that one input
// costs milliseconds (a 640 x 230 frame takes 5 ms to compose under the
// sanitizers).  Zeros, negative values and the other fields stay as read.
inline RendererLayout ReadFuzzLayout(FuzzReader* in) {
    int32_t fields[23];
    for (int i = 0; i < 23; ++i) fields[i] = in->Int();
    RendererLayout layout;
    std::memcpy(&layout, fields, sizeof layout);
    layout.pixelsPerMs = in->Float();  // in place of the ninth field
    auto cap = [](int32_t* v, int32_t limit) {
        if (*v > limit) *v = *v % limit + 1;
    };
    cap(&layout.windowWidth, 512);
    cap(&layout.windowHeight, 256);
    cap(&layout.pitchAreaHeight, 512);
    cap(&layout.lyricRowHeight, 512);
    cap(&layout.noteHeight, 512);
    return layout;
}

#endif
