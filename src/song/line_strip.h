// line_strip.h - prepared line images and the singer's pitch trail.
#ifndef RENDERER_SONG_LINE_STRIP_H
#define RENDERER_SONG_LINE_STRIP_H

#include <cstdint>
#include <deque>

#include "imaging/dib_surface.h"

// A surface holding one prepared line image: `x` is its stripX (game strips: the
// line's start on the song's timeline in pixels; lyrics strips: 0), `tag` is the
// index of the song line it shows (all ones for the not-found record).
using LineStrip = DibSurface;
using StripQueue = std::deque<LineStrip>;

inline uint32_t StripLineIndex(const LineStrip& strip) { return uint32_t(strip.tag); }

// One point of the singer's trail over the current line.
struct TrailPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool onPitch = false;
    int32_t kind = 3;  // always 3
};

#endif
