// blit.h - a rectangle of one surface drawn onto another, the one way every part
// of the renderer copies or blends an image.
//
// The rectangle `rect` of `source` goes with its top-left pixel to (x, y) of
// `destination`.  Positions and sizes are taken as 64-bit values so that callers
// may pass sums without overflow; anything outside the int32 range draws nothing.
//
// What limits the drawing (CopyPixels and BlendPixels underneath):
//  - rows stop at `clipHeight` (the destination's height unless given; a clip
//    height beyond the destination is cut to it; a negative one draws nothing);
//  - each row is cut at the end of the destination row;
//  - the clip width limits no column: it is only checked to be non-negative (a
//    negative one draws nothing).  To stop short of a column, narrow the rectangle;
//  - negative positions, sizes or source coordinates draw nothing at all;
//  - the source is not clipped: rectangles of skin images are clipped to the skin
//    image when the skin is applied, and strips are read within their own size.
#ifndef RENDERER_IMAGING_BLIT_H
#define RENDERER_IMAGING_BLIT_H

#include <cstdint>

#include "base/numeric.h"
#include "imaging/compositing.h"
#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"

// Clip limits left at their default: the destination's own height (and width).
constexpr int64_t kClipToDestination = INT64_MIN;

// A rectangle from 64-bit values; one that leaves the int32 range has a negative
// size, so it draws nothing.
inline ImageRect RectOf(int64_t x, int64_t y, int64_t width, int64_t height) {
    if (!FitsInt32(x) || !FitsInt32(y) || !FitsInt32(width) || !FitsInt32(height)) return ImageRect{0, 0, -1, -1};
    return ImageRect{int32_t(x), int32_t(y), int32_t(width), int32_t(height)};
}

// The whole of a surface as a rectangle.
inline ImageRect WholeSurface(const DibSurface& s) { return ImageRect{0, 0, s.width, s.height}; }

// CopyPixels of the rectangle: transparent source pixels leave transparent black.
int CopyRect(DibSurface* destination, int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect,
             int64_t clipHeight = kClipToDestination);

// BlendPixels of the rectangle at `alpha` (255: the source's own opacity).
int BlendRect(DibSurface* destination, int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect,
              uint8_t alpha = 255, int64_t clipHeight = kClipToDestination,
              int64_t clipWidth = kClipToDestination);

// The destination pixels that CopyRect or BlendRect with the same arguments would
// draw; false when the call would draw nothing at all (rejected).
bool BlitArea(const DibSurface& destination, int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect,
              int64_t clipHeight, int64_t clipWidth, PixelArea* area);

// The smallest rectangle holding every pixel of `s` whose alpha is not 0; all zero
// when there is none.
ImageRect InkedBounds(const DibSurface& s);

// Makes `copy` a new surface of the same size holding `source` premultiplied.
// False (and `copy` left empty) when `source` has no pixels or no copy can be made.
bool MakePremultipliedCopy(const DibSurface& source, DibSurface* copy);

#endif
