// note_strips.h - painting the pitch bars of a prepared line.
//
// Game mode:   x = trunc((note.start - line.start) * pixelsPerMs), w = trunc((note.end - note.start) * pixelsPerMs)
// Lyrics mode: x = (note.start - line.start) * S / (line.end - line.start), w likewise, with
//              S = windowWidth - pitchAreaRight - pitchAreaLeft, unsigned 32-bit, product modulo 2^32
// Both:        y = PitchToY(note.pitch); a bar whose y is negative (above maxPitch) is not drawn.
#ifndef RENDERER_TEXT_NOTE_STRIPS_H
#define RENDERER_TEXT_NOTE_STRIPS_H

#include <cstdint>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "text/line_strips.h"

// Clears `strip` and draws one bar per note of `line` with the pieces of `mode`
// (game: "WaveYellow", lyrics: "WaveLightBlue"; other modes draw nothing), and
// records the strip's inked bounds and a new painting number.
void PaintNoteStrip(const LineStripInputs& in, int32_t mode, const SongLine& line, LineStrip* strip);

// One bar of width w at (x, y) copied from `atlas` into `strip`: left cap, middle
// pieces as often as needed, right cap.
void DrawBar(const ImageRect& left, const ImageRect& middle, const ImageRect& right, DibSurface* strip,
             const DibSurface& atlas, int32_t x, int32_t y, int32_t w);

#endif
