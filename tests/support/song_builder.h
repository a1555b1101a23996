// song_builder.h - builds host-style SongInfo records for tests, owning the arrays.
#ifndef RENDERER_TESTS_SONG_BUILDER_H
#define RENDERER_TESTS_SONG_BUILDER_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "renderer.h"

class SongBuilder {
public:
    SongBuilder(uint32_t start = 0, uint32_t end = 100000, float minPitch = 40.0f, float maxPitch = 80.0f) {
        info_.startTime = start;
        info_.endTime = end;
        info_.minPitch = minPitch;
        info_.maxPitch = maxPitch;
    }
    // A line; words and notes added next belong to it.
    SongBuilder& Line(uint32_t start, uint32_t end) {
        lines_.push_back({start, end, nullptr, 0, nullptr, 0});
        words_.emplace_back();
        notes_.emplace_back();
        return *this;
    }
    SongBuilder& Word(uint32_t start, uint32_t end, const std::u16string& text) {
        texts_.emplace_back(text);
        words_.back().push_back({start, end, reinterpret_cast<const uint16_t*>(texts_.back().c_str()),
                                 uint32_t(text.size())});
        return *this;
    }
    SongBuilder& Note(uint32_t start, uint32_t end, float pitch) {
        notes_.back().push_back({start, end, pitch});
        return *this;
    }
    SongInfo* Build() {
        for (size_t i = 0; i < lines_.size(); ++i) {
            lines_[i].words = words_[i].empty() ? nullptr : words_[i].data();
            lines_[i].wordCount = uint32_t(words_[i].size());
            lines_[i].notes = notes_[i].empty() ? nullptr : notes_[i].data();
            lines_[i].noteCount = uint32_t(notes_[i].size());
        }
        info_.lines = lines_.empty() ? nullptr : lines_.data();
        info_.lineCount = uint32_t(lines_.size());
        return &info_;
    }
    SongLine& LineRecord(size_t i) { return lines_[i]; }
    SongInfo& Info() { return info_; }

private:
    SongInfo info_ = {};
    std::vector<SongLine> lines_;
    std::vector<std::vector<SongWord>> words_;
    std::vector<std::vector<SongNote>> notes_;
    std::deque<std::u16string> texts_;  // stable addresses
};

#endif
