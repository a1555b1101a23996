// note_strips.h - painting the pitch bars of prepared lines.
#ifndef RENDERER_TEXT_NOTE_STRIPS_H
#define RENDERER_TEXT_NOTE_STRIPS_H

#include <cstdint>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "song/line_strip.h"

class CGDIRendererImpl;

// Clears and paints the pitch-bar strips of lines first..last found in `queue`,
// one bar per note, with the pieces of the renderer's current mode.
void PaintNoteStrips(CGDIRendererImpl* renderer, uint32_t first, uint32_t last, StripQueue* queue,
                     const DibSurface& atlas);

// One bar of width w at (x, y): left cap, middle pieces as often as needed, right cap.
void DrawBar(const ImageRect& left, const ImageRect& middle, const ImageRect& right, DibSurface* strip,
             const DibSurface& atlas, int32_t x, int32_t y, int32_t w);

// The height of pitch p in the pitch area:
//   y = trunc((pitchAreaHeight - noteHeight) * (maxPitch - p) / (maxPitch - minPitch))
// NaN gives 0; values beyond int32 saturate.
int32_t PitchToY(float pitch, float minPitch, float maxPitch, int32_t pitchAreaHeight, int32_t noteHeight);

#endif
