// e2e_scenario.h - one sequence of IRenderer calls that the native build and
// renderer.dll under Wine both play; the presented pixels at the trail, cursor,
// background and score must come out the same.
#ifndef RENDERER_TESTS_E2E_SCENARIO_H
#define RENDERER_TESTS_E2E_SCENARIO_H

#include <cmath>
#include <cstdint>
#include <vector>

#include "pixel_harness.h"
#include "renderer.h"

namespace e2e {

// A song without lyric text (glyphs differ between font engines): two lines of notes.
struct Song {
    std::vector<SongNote> notes = {{1000, 1600, 60.0f}, {1700, 2400, 66.0f}, {2500, 3000, 52.0f},
                                   {4000, 5000, 58.0f}, {5100, 6000, 63.0f}};
    std::vector<SongLine> lines;
    SongInfo info = {};
    Song() {
        lines.push_back({1000, 3000, nullptr, 0, &notes[0], 3});
        lines.push_back({4000, 6000, nullptr, 0, &notes[3], 2});
        info = {76.0f, 44.0f, 0, 8000, 0, lines.data(), 2};
    }
};

inline RendererLayout Layout() {
    RendererLayout l = {150, 490, 640, 77, 87, 30, 200, 230, 0.15f, 22, 22, 2,
                        100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    return l;
}

// Plays `mode` up to `endMs` with a singer on and off the notes; leaves the last frame presented.
inline void Play(IRenderer* r, int mode, uint32_t endMs) {
    static Song song;
    r->SetMode(mode);
    r->SetSong(&song.info);
    r->Show();
    ScoreInfo score = {0, 12340.0f, 3};
    r->SetScore(&score);
    for (uint32_t t = 0; t <= endMs; t += 40) {
        PlayState s = {};
        s.timeMs = t;
        s.pitch = 60.0f + 5.0f * float(std::sin(double(t) / 300.0));
        r->UpdateTime(40, &s);
        r->Tick(20);  // skipped after every record
        r->Present();
    }
}

// The rectangles compared: everything from the pitch area down, the four score
// digits and the grade image (all covered by the frame, so the screen shows them).
struct Rect {
    int x, y, w, h;
};
inline std::vector<Rect> Samples(int mode) {
    const int top = mode == 1 ? 107 : 77;
    return {{0, top, 640, 230 - top}, {66, 8, 72, 26}, {490, 0, 80, 40}};
}

// CRC of blue, green, red of the sampled pixels of a 640-wide BGRA picture.
inline uint32_t SampleCrc(const uint8_t* bgra, int mode) {
    uint32_t crc = 0;
    for (const Rect& r : Samples(mode))
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) crc = harness::Crc32(bgra + (size_t(y) * 640 + size_t(x)) * 4, 3, crc);
    return crc;
}

// Recorded from the native build (premultiplied frame); Wine shows these colours.
constexpr uint32_t kExpectedLyrics = 0xBD972615u;
constexpr uint32_t kExpectedGame = 0x5650E516u;

}  // namespace e2e

#endif
