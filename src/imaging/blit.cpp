// blit.cpp - CopyRect and BlendRect over the pixel operations.
#include "imaging/blit.h"

#include "base/numeric.h"

namespace {

// Resolves the default clip limits and calls `op` with the int32 arguments of a
// pixel operation; nothing is drawn when a value leaves the int32 range.
template <typename Op>
int Blit(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& r, int64_t clipHeight,
         int64_t clipWidth, Op op) {
    if (!d) return 0;
    if (clipHeight == kClipToDestination || clipHeight > d->height) clipHeight = d->height;
    if (clipWidth == kClipToDestination) clipWidth = d->width;
    if (!FitsInt32(x) || !FitsInt32(y) || !FitsInt32(clipWidth) || !FitsInt32(clipHeight)) return 0;
    return op(d->pixels, d->stride, int32_t(x), int32_t(y), int32_t(clipWidth), int32_t(clipHeight), s.pixels,
              s.stride, r.x, r.y, r.width, r.height);
}

}  // namespace

int CopyRect(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& r, int64_t clipHeight) {
    return Blit(d, x, y, s, r, clipHeight, kClipToDestination, CopyPixels);
}

int BlendRect(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& r, uint8_t alpha,
              int64_t clipHeight, int64_t clipWidth) {
    return Blit(d, x, y, s, r, clipHeight, clipWidth, [alpha](auto... args) { return BlendPixels(args..., alpha); });
}
