// compositing.cpp - scalar reference implementations of CopyPixels, BlendPixels
// and PremultiplyAlpha.  RotatePixels lives in rotation.cpp.
#include "imaging/compositing.h"

#include <cstring>

namespace {

// Shared argument check and row length of CopyPixels and BlendPixels.
// Returns the number of bytes to walk per row, or -1 to reject the call.
int64_t RowBytes(const uint8_t* dst, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                 int32_t clipHeight, const uint8_t* src, int32_t srcX, int32_t srcY, int32_t width,
                 int32_t height) {
    if (dstX < 0 || dstY < 0 || clipWidth < 0 || clipHeight < 0 || srcX < 0 || srcY < 0 || width < 0 ||
        height < 0 || !dst || !src)
        return -1;
    // The row is cut at the end of the destination row; 64-bit sums cannot wrap.
    int64_t n = int64_t(width) * 4;
    if (int64_t(dstX) * 4 + n > dstStride) n = int64_t(dstStride) - int64_t(dstX) * 4;
    return n < 0 ? -1 : n;
}

}  // namespace

int CopyPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
               int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
               int32_t width, int32_t height) {
    const int64_t n = RowBytes(dstPixels, dstStride, dstX, dstY, clipWidth, clipHeight, srcPixels, srcX, srcY,
                               width, height);
    if (n < 0) return 0;
    const int64_t count = n / 4;
    for (int64_t i = 0; i < height && int64_t(dstY) + i < clipHeight; ++i) {
        uint8_t* d = dstPixels + (int64_t(dstY) + i) * dstStride + int64_t(dstX) * 4;
        const uint8_t* s = srcPixels + (int64_t(srcY) + i) * srcStride + int64_t(srcX) * 4;
        for (int64_t k = 0; k < count; ++k, d += 4, s += 4) {
            // A transparent source pixel always leaves clean transparent black.
            if (s[3] != 0)
                std::memcpy(d, s, 4);
            else
                std::memset(d, 0, 4);
        }
    }
    return 1;
}

// Straight-alpha "over" with a global opacity m:
//   Cs = m * As / 255          source opacity        (float)
//   B  = Ad / 255              destination opacity   (float)
//   D  = 1 - Cs                                      (double)
//   E  = 1 - (1 - B) * D       resulting opacity     (float)
//   c  = trunc(d * B * D / E + s * Cs / E),  a = trunc(E * 255)
// Everything else is evaluated in double precision, as written.
void BlendPixel(uint8_t* d, const uint8_t* s, uint8_t alpha, float m) {
    const uint8_t ad = d[3];
    const uint8_t as = s[3];
    if (ad == 0) {
        std::memcpy(d, s, 4);
        if (alpha != 255) d[3] = uint8_t(int32_t(double(m) * as));
        return;
    }
    if (as == 0) return;
    const float cs = float(double(m) * as / 255.0);
    const float b = float(ad / 255.0);
    const double dd = 1.0 - double(cs);
    const float e = float(1.0 - (1.0 - double(b)) * dd);
    for (int c = 0; c < 3; ++c) {
        const double v = ((double(d[c]) * double(b)) * dd) / double(e) + (double(s[c]) * double(cs)) / double(e);
        d[c] = uint8_t(int32_t(v));
    }
    d[3] = uint8_t(int32_t(double(e) * 255.0));
}

int BlendPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, uint8_t alpha) {
    const int64_t n = RowBytes(dstPixels, dstStride, dstX, dstY, clipWidth, clipHeight, srcPixels, srcX, srcY,
                               width, height);
    if (n < 0) return 0;
    const float m = float(alpha / 255.0);
    const int64_t count = n / 4;
    for (int64_t i = 0; i < height && int64_t(dstY) + i < clipHeight; ++i) {
        uint8_t* d = dstPixels + (int64_t(dstY) + i) * dstStride + int64_t(dstX) * 4;
        const uint8_t* s = srcPixels + (int64_t(srcY) + i) * srcStride + int64_t(srcX) * 4;
        for (int64_t k = 0; k < count; ++k, d += 4, s += 4) BlendPixel(d, s, alpha, m);
    }
    return 1;
}

// c' = floor(c * a / 255) for blue, green and red; alpha stays.
void PremultiplyAlpha(DibSurface* surface) {
    if (!surface || !surface->pixels || surface->width <= 0 || surface->height <= 0) return;
    for (int32_t y = 0; y < surface->height; ++y) {
        uint8_t* p = surface->pixels + int64_t(y) * surface->stride;
        for (int32_t x = 0; x < surface->width; ++x, p += 4) {
            const uint32_t a = p[3];
            p[0] = uint8_t(p[0] * a / 255);
            p[1] = uint8_t(p[1] * a / 255);
            p[2] = uint8_t(p[2] * a / 255);
        }
    }
}
