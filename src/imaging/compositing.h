// compositing.h - the pixel operations every picture is made with.
//
//   CopyPixels       rectangle copy; transparent source pixels become 0,0,0,0
//   BlendPixels      straight-alpha source over destination, with a global opacity
//   PremultiplyAlpha the frame's last step before it is shown
//   PremultiplyPixels(Over)  the same for a run of pixels (the scenes' finished spans)
//   PixelCallArea    which destination pixels a copy or blend call draws
//   RotatePixels     rotation by whole degrees in 16.16 fixed point (cursor frames)
//   SetPixelPath     fast kernels or the scalar reference (tests, benchmarks)
//
// Copy, blend and premultiply run on the fast (SSE2) kernels when the build has
// them, which give the same bytes as the scalar reference for every input.  The
// environment variable RENDERER_PIXEL_PATH=reference, read once at the first
// pixel operation, forces the scalar reference for the whole process.
#ifndef RENDERER_IMAGING_COMPOSITING_H
#define RENDERER_IMAGING_COMPOSITING_H

#include <cstdint>

#include "imaging/dib_surface.h"

// Which kernels copy, blend and premultiply: the fast ones (the scalar reference
// where the build has none) or the scalar reference.
enum class PixelPath { kFast, kReference };

// The path in use; the first call makes the choice from RENDERER_PIXEL_PATH.
PixelPath ActivePixelPath();

// Switches the path for all later calls (tests compare the two; benchmarks time both).
void SetPixelPath(PixelPath path);

// Whether this build has fast kernels at all (false: kFast runs the reference).
bool HasFastPixelPath();

// The destination pixels of a CopyPixels or BlendPixels call: columns x .. x +
// columns - 1 of rows y .. y + rows - 1 (either count may be 0).
struct PixelArea {
    int64_t x = 0, y = 0, columns = 0, rows = 0;
};

// False when CopyPixels and BlendPixels reject these arguments (they return 0 and
// draw nothing); otherwise the pixels they draw.  Both use it for their own walk.
bool PixelCallArea(const uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                   int32_t clipHeight, const uint8_t* srcPixels, int32_t srcX, int32_t srcY, int32_t width,
                   int32_t height, PixelArea* area);

// Copies the width x height source rectangle at (srcX, srcY) to (dstX, dstY).
// Rows stop at clipHeight; a row is cut at the end of the destination row
// (dstStride).  The source is not clipped: callers keep the rectangle inside it.
// Returns 1 when the arguments were accepted, 0 when rejected (nothing drawn).
int CopyPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
               int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
               int32_t width, int32_t height);

// Same rectangle and result as CopyPixels, blended over the destination with the
// source's opacity scaled by alpha / 255.
int BlendPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, uint8_t alpha);

// One destination pixel of BlendPixels; m = alpha / 255 rounded to float.
void BlendPixel(uint8_t* d, const uint8_t* s, uint8_t alpha, float m);

// Converts the whole surface to premultiplied colour: c = c * a / 255, rounded down.
void PremultiplyAlpha(DibSurface* surface);

// PremultiplyAlpha of `count` pixels from `pixels` on.
void PremultiplyPixels(uint8_t* pixels, int64_t count);

// The same, for pixels laid over a known base: `premultiplied` must hold the
// premultiplied form of `straight`, pixel for pixel.  The result is that of
// PremultiplyPixels; pixels still equal to their base are only copied.
void PremultiplyPixelsOver(uint8_t* pixels, const uint8_t* straight, const uint8_t* premultiplied, int64_t count);

// Draws the source rectangle rotated clockwise by `angle` degrees into
// `destination`, bounding box top-left at (dstX, 0).  Reports the box size and
// the tip (right end of row h/2 - 1) relative to the box.  False when a surface
// lacks pixels; the out-arguments are then untouched.
bool RotatePixels(const DibSurface& source, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  DibSurface* destination, int32_t dstX, int32_t angle, int32_t* rotatedWidth,
                  int32_t* rotatedHeight, int32_t* tipX, int32_t* tipY);

// 16.16 fixed-point cosine and sine of a whole-degree angle, as RotatePixels uses them.
void FixedPointCosSin(int32_t angle, int32_t* cosFixed, int32_t* sinFixed);

#endif
