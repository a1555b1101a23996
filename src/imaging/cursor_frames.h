// cursor_frames.h - the 61 pre-rotated cursor pictures of game mode.
#ifndef RENDERER_IMAGING_CURSOR_FRAMES_H
#define RENDERER_IMAGING_CURSOR_FRAMES_H

#include <cstdint>
#include <map>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"

// Where one angle's picture lies in the cursor strip, and where its tip is.
struct CursorFrame {
    int32_t tipX = 0;    // relative to the cell's left edge
    int32_t tipY = 0;    // relative to the cell's top edge
    int32_t left = 0;    // cell in the strip; top is always 0
    int32_t top = 0;
    int32_t right = 0;   // exclusive
    int32_t bottom = 0;  // exclusive; the cell's height
};

// Angle in whole degrees (0, 1..30 clockwise, 330..359 counter-clockwise) -> frame.
using CursorIndex = std::map<int32_t, CursorFrame>;

// Draws the level green cursor, the red one turned 1..30 degrees and the yellow
// one turned 359..330 degrees side by side into `strip` (61 * d by d, d the green
// picture's diagonal rounded up plus 2) and inserts their frames; keys already
// present keep their frames.
void BuildCursorFrames(const DibSurface& atlas, const ImageRect& green, const ImageRect& red,
                       const ImageRect& yellow, DibSurface* strip, CursorIndex* index);

// The frame's cell clipped to the strip, for reading it: false when none of it lies inside.
bool CursorCellInStrip(const CursorFrame& frame, const DibSurface& strip, ImageRect* cell);

#endif
