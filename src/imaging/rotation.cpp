// rotation.cpp - RotatePixels: rotation of a rectangle by whole degrees, 16.16 fixed point.
//
// The image turns about its top-left corner; positive angles turn clockwise on the
// screen (y down).  Destination column j, row r of the bounding box maps back to
//   u = minX + j,  v = minY + r
//   sx = ((u * Cf) >> 16) + ((v * Sf) >> 16)
//   sy = ((v * Cf) >> 16) - ((u * Sf) >> 16)
// with ">>" an arithmetic shift.  The products are formed in 64 bits, so large
// images cannot overflow; within 32-bit range the results are the same.
#include <cmath>
#include <cstring>

#include "imaging/compositing.h"

namespace {

inline int64_t Shift16(int64_t v) { return v >> 16; }  // arithmetic: rounds toward -infinity

}  // namespace

void FixedPointCosSin(int32_t angle, int32_t* cosFixed, int32_t* sinFixed) {
    const float twoPi = 6.283185f;  // the single-precision constant 6.283185005187988
    const float rad = float(double(angle % 360) * double(twoPi) / 360.0);
    const float c = float(std::cos(double(rad)));
    const float s = float(std::sin(double(rad)));
    *cosFixed = int32_t(double(c) * 65536.0);
    *sinFixed = int32_t(double(s) * 65536.0);
}

bool RotatePixels(const DibSurface& source, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  DibSurface* destination, int32_t dstX, int32_t angle, int32_t* rotatedWidth,
                  int32_t* rotatedHeight, int32_t* tipX, int32_t* tipY) {
    if (!source.pixels || !destination || !destination->bitmap || !destination->pixels) return false;

    int32_t cf = 0, sf = 0;
    FixedPointCosSin(angle, &cf, &sf);

    const int64_t w = srcWidth, h = srcHeight;
    const int64_t xs[4] = {0, Shift16(cf * w), Shift16(-(sf * h)), Shift16(cf * w - sf * h)};
    const int64_t ys[4] = {0, Shift16(sf * w), Shift16(cf * h), Shift16(cf * h + sf * w)};
    int64_t minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < 4; ++i) {
        if (xs[i] < minX) minX = xs[i];
        if (xs[i] > maxX) maxX = xs[i];
        if (ys[i] < minY) minY = ys[i];
        if (ys[i] > maxY) maxY = ys[i];
    }
    const int64_t boxW = maxX - minX, boxH = maxY - minY;

    int32_t bestTipX = 0, bestTipY = 0;
    int64_t best = 0;
    const int64_t mid = h / 2 - 1;  // the source row whose right end is the tip

    for (int64_t r = 0; r < boxH && r < destination->height; ++r) {
        const int64_t v = minY + r;
        const int64_t vcf = Shift16(v * cf), vsf = Shift16(v * sf);
        int64_t ucf = minX * cf, usf = minX * sf;  // stepped by Cf and Sf per column
        uint8_t* row = destination->pixels + r * int64_t(destination->stride);
        for (int64_t j = 0; j < boxW; ++j, ucf += cf, usf += sf) {
            const int64_t dx = int64_t(dstX) + j;
            if (dx < 0 || dx >= destination->width) continue;
            const int64_t sx = Shift16(ucf) + vsf;
            const int64_t sy = vcf - Shift16(usf);
            if (sx < 0 || sx >= w || sy < 0 || sy >= h) continue;
            // Never read outside the source surface, whatever rectangle was asked for.
            const int64_t px = int64_t(srcX) + sx, py = int64_t(srcY) + sy;
            if (px < 0 || px >= source.width || py < 0 || py >= source.height) continue;
            std::memcpy(row + dx * 4, source.pixels + py * int64_t(source.stride) + px * 4, 4);
            if (sy == mid && sx > mid && sx > best) {
                best = sx;
                bestTipX = int32_t(j);
                bestTipY = int32_t(r);
            }
        }
    }
    *rotatedWidth = int32_t(boxW);
    *rotatedHeight = int32_t(boxH);
    *tipX = bestTipX;
    *tipY = bestTipY;
    return true;
}
