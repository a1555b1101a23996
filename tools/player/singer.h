// singer.h - a simulated singer for the demo players: mostly on the notes, now and
// then too high or too low, silent between notes and in short breaths.
#ifndef RENDERER_TOOLS_SINGER_H
#define RENDERER_TOOLS_SINGER_H

#include <cmath>
#include <cstdint>

#include "renderer.h"

class Singer {
public:
    Singer(const SongInfo& song, uint32_t seed) : song_(song), seed_(seed) {}

    // The pitch sung at time t (0 for silence).
    float PitchAt(uint32_t t) {
        const SongNote* note = NoteAt(t);
        if (!note) return 0.0f;
        const uint32_t phrase = (note->startTime / 700 + seed_) % 7;
        const float wobble = 0.12f * float(std::sin(double(t) / 90.0));
        float pitch = note->pitch + wobble;
        if (phrase == 2) pitch += 4.0f;                            // too high
        if (phrase == 5) pitch -= 4.0f + 1.5f * float((t / 400) % 2);  // too low, wandering
        const bool breath = t - note->startTime < 40;              // a breath at each note's start
        ++frames_;
        if (!breath && phrase != 2 && phrase != 5) ++hits_;
        return breath ? 0.0f : pitch;
    }

    // The index of a line that ended before t (the latest), or all ones.
    uint32_t LineEndedBefore(uint32_t t) const {
        uint32_t ended = UINT32_MAX;
        for (uint32_t i = 0; i < song_.lineCount; ++i)
            if (song_.lines[i].endTime < t) ended = i;
        return ended;
    }

    int32_t Score() const { return frames_ ? int32_t(100000.0 * hits_ / frames_) : 0; }
    int32_t Grade(uint32_t line) const { return 1 + int32_t((line + seed_) % 5); }

private:
    const SongNote* NoteAt(uint32_t t) const {
        for (uint32_t i = 0; i < song_.lineCount; ++i) {
            const SongLine& line = song_.lines[i];
            if (t < line.startTime || t > line.endTime) continue;
            for (uint32_t n = 0; n < line.noteCount; ++n)
                if (line.notes[n].startTime <= t && t <= line.notes[n].endTime) return &line.notes[n];
        }
        return nullptr;
    }
    const SongInfo& song_;
    uint32_t seed_;
    uint64_t frames_ = 0, hits_ = 0;
};

#endif
