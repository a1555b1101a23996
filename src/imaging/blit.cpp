// blit.cpp - CopyRect and BlendRect over the pixel operations.
#include "imaging/blit.h"

#include "base/numeric.h"

namespace {

// The arguments of one pixel operation, or false when some value leaves int32.
struct BlitArgs {
    int32_t x, y, clipWidth, clipHeight, srcX, srcY, width, height;
};

bool MakeArgs(const DibSurface& d, int64_t x, int64_t y, const ImageRect& rect, int64_t clipHeight,
              int64_t clipWidth, BlitArgs* a) {
    if (clipHeight == kClipToDestination || clipHeight > d.height) clipHeight = d.height;
    if (clipWidth == kClipToDestination) clipWidth = d.width;
    if (!FitsInt32(x) || !FitsInt32(y) || !FitsInt32(clipWidth) || !FitsInt32(clipHeight)) return false;
    *a = BlitArgs{int32_t(x), int32_t(y), int32_t(clipWidth), int32_t(clipHeight), rect.x, rect.y, rect.width,
                  rect.height};
    return true;
}

}  // namespace

int CopyRect(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& rect, int64_t clipHeight) {
    BlitArgs a;
    if (!d || !MakeArgs(*d, x, y, rect, clipHeight, kClipToDestination, &a)) return 0;
    return CopyPixels(d->pixels, d->stride, a.x, a.y, a.clipWidth, a.clipHeight, s.pixels, s.stride, a.srcX, a.srcY,
                      a.width, a.height);
}

int BlendRect(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& rect, uint8_t alpha,
              int64_t clipHeight, int64_t clipWidth) {
    BlitArgs a;
    if (!d || !MakeArgs(*d, x, y, rect, clipHeight, clipWidth, &a)) return 0;
    return BlendPixels(d->pixels, d->stride, a.x, a.y, a.clipWidth, a.clipHeight, s.pixels, s.stride, a.srcX, a.srcY,
                       a.width, a.height, alpha);
}
