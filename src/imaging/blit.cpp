// blit.cpp - CopyRect and BlendRect over the pixel operations.
#include "imaging/blit.h"

#include <cstring>

#include "base/numeric.h"

namespace {

// Resolves the default clip limits into the int32 clip arguments of a pixel
// operation; false when a value leaves the int32 range (nothing is drawn).
bool ResolveClip(const DibSurface& d, int64_t x, int64_t y, int64_t* clipHeight, int64_t* clipWidth) {
    if (*clipHeight == kClipToDestination || *clipHeight > d.height) *clipHeight = d.height;
    if (*clipWidth == kClipToDestination) *clipWidth = d.width;
    return FitsInt32(x) && FitsInt32(y) && FitsInt32(*clipWidth) && FitsInt32(*clipHeight);
}

// Calls `op` with the int32 arguments of a pixel operation.
template <typename Op>
int Blit(DibSurface* d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& r, int64_t clipHeight,
         int64_t clipWidth, Op op) {
    if (!d || !ResolveClip(*d, x, y, &clipHeight, &clipWidth)) return 0;
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

bool BlitArea(const DibSurface& d, int64_t x, int64_t y, const DibSurface& s, const ImageRect& r, int64_t clipHeight,
              int64_t clipWidth, PixelArea* area) {
    if (!ResolveClip(d, x, y, &clipHeight, &clipWidth)) return false;
    return PixelCallArea(d.pixels, d.stride, int32_t(x), int32_t(y), int32_t(clipWidth), int32_t(clipHeight),
                         s.pixels, r.x, r.y, r.width, r.height, area);
}

// Rows from the top and the bottom until one with ink; within the inked rows, the
// least first and the greatest last inked column.
ImageRect InkedBounds(const DibSurface& s) {
    if (!s.pixels || s.width <= 0 || s.height <= 0) return ImageRect{0, 0, 0, 0};
    auto alphaAt = [&s](int32_t x, int32_t y) { return s.pixels[int64_t(y) * s.stride + int64_t(x) * 4 + 3]; };
    int32_t left = s.width, right = -1, top = -1, bottom = -1;
    for (int32_t y = 0; y < s.height; ++y) {
        int32_t x = 0;
        while (x < s.width && alphaAt(x, y) == 0) ++x;
        if (x == s.width) continue;
        if (top < 0) top = y;
        bottom = y;
        if (x < left) left = x;
        int32_t last = s.width - 1;
        while (last > right && alphaAt(last, y) == 0) --last;
        if (last > right) right = last;
    }
    if (top < 0) return ImageRect{0, 0, 0, 0};
    return ImageRect{left, top, right - left + 1, bottom - top + 1};
}

bool MakePremultipliedCopy(const DibSurface& source, DibSurface* copy) {
    if (!source.pixels || source.width <= 0 || source.height <= 0) return false;
    if (!CreateDibSurface(source.width, source.height, copy) || !copy->pixels || copy->stride != source.stride) {
        ReleaseDibSurface(copy);
        return false;
    }
    std::memcpy(copy->pixels, source.pixels, size_t(source.stride) * size_t(source.height));
    PremultiplyAlpha(copy);
    return true;
}
