// frame_drawing.cpp - what both scenes draw with: clearing, blending onto the
// frame, capped bars, and the score display.
#include <algorithm>
#include <cstring>

#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "imaging/skin.h"
#include "scenes/scenes.h"

namespace {

bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

void BlendImage(CGDIRendererImpl* r, const ImageRect& image, int64_t x, int64_t y, uint8_t alpha) {
    BlendOntoFrame(r, r->atlas.pixels, r->atlas.stride, x, y, image.x, image.y, image.width, image.height, alpha);
}

}  // namespace

void ClearFrame(CGDIRendererImpl* r, int64_t clearEnd) {
    DibSurface& f = r->frame;
    const int64_t split = std::clamp<int64_t>(clearEnd, 0, f.height);
    std::memset(f.pixels, 0, size_t(split) * size_t(f.stride));
    for (int64_t y = split; y < f.height; ++y) {
        uint8_t* p = f.pixels + y * f.stride;
        for (int32_t x = 0; x < f.width; ++x, p += 4) {
            p[0] = p[1] = p[2] = 0;
            p[3] = 0x32;
        }
    }
}

void BlendOntoFrame(CGDIRendererImpl* r, const uint8_t* sourcePixels, int32_t sourceStride, int64_t x, int64_t y,
                    int64_t srcX, int64_t srcY, int64_t width, int64_t height, uint8_t alpha, int64_t clipHeight) {
    DibSurface& f = r->frame;
    if (clipHeight < 0) clipHeight = f.height;
    if (!FitsInt32(x) || !FitsInt32(y) || !FitsInt32(srcX) || !FitsInt32(srcY) || !FitsInt32(width) ||
        !FitsInt32(height))
        return;
    BlendPixels(f.pixels, f.stride, int32_t(x), int32_t(y), f.width, int32_t(std::min<int64_t>(clipHeight, f.height)),
                sourcePixels, sourceStride, int32_t(srcX), int32_t(srcY), int32_t(width), int32_t(height), alpha);
}

void DrawCappedBar(CGDIRendererImpl* r, const ImageRect& left, const ImageRect& middle, const ImageRect& right,
                   int32_t x, int32_t y, int32_t width) {
    const int64_t lw = left.width, rw = right.width;
    const uint8_t* atlas = r->atlas.pixels;
    const int32_t stride = r->atlas.stride;
    if (lw + rw > width) {
        const int32_t h = width / 2;
        if (h <= 0) return;
        if (x >= 0) BlendOntoFrame(r, atlas, stride, x, y, left.x, left.y, h, left.height);
        if (int64_t(x) + h >= 0)
            BlendOntoFrame(r, atlas, stride, int64_t(x) + h, y, int64_t(right.x) + right.width - h, right.y, h,
                           right.height);
        return;
    }
    if (x >= 0) BlendOntoFrame(r, atlas, stride, x, y, left.x, left.y, left.width, left.height);
    int64_t col = int64_t(x) + lw;
    int64_t m = int64_t(width) - lw - rw;
    // A middle piece without width would never advance; past the frame nothing shows.
    while (m > 0 && middle.width > 0 && col < r->frame.width) {
        const int64_t p = std::min<int64_t>(m, middle.width);
        if (col >= 0) BlendOntoFrame(r, atlas, stride, col, y, middle.x, middle.y, p, middle.height);
        m -= middle.width;
        col += p;
    }
    if (m > 0) col += m;
    if (col >= 0) BlendOntoFrame(r, atlas, stride, col, y, right.x, right.y, right.width, right.height);
}

// Fade in from 127 by 3 per frame, hold at 255, fade out by 5 per frame; the
// counters decide when each phase ends.
void UpdateScoreDisplay(CGDIRendererImpl* r) {
    switch (r->scorePhase) {
        case 0:
            return;
        case 1:
            if (--r->fadeInFrames < 0) {
                r->scoreAlpha = 255;
                r->scorePhase = 2;
            } else {
                r->scoreAlpha = r->scoreAlpha >= 252 ? 255 : uint8_t(r->scoreAlpha + 3);
            }
            break;
        case 2:
            if (--r->holdFrames < 0) r->scorePhase = 3;
            break;
        case 3:
            if (--r->fadeOutFrames < 0)
                r->scorePhase = 0;
            else
                r->scoreAlpha = uint8_t(r->scoreAlpha - 5);
            break;
        default:
            break;
    }
    const RendererLayout& l = r->layout;
    // The ones digit at scoreX, at most three more to its left.
    int32_t v = r->scoreValue;
    int64_t x = l.scoreX;
    const ImageRect& ones = r->images[kImageNumber0 + (v < 0 ? 0 : v % 10)];
    if (x >= 0) BlendImage(r, ones, x, l.scoreTop, r->scoreAlpha);
    x -= ones.width;
    for (int i = 0; i < 3; ++i) {
        v /= 10;
        if (v <= 0) break;
        const ImageRect& digit = r->images[kImageNumber0 + v % 10];
        if (x >= 0) BlendImage(r, digit, x, l.scoreTop, r->scoreAlpha);
        x -= digit.width;
    }
    int64_t k = (int64_t(r->scoreGrade) - 1) % 5;
    if (k < 0) k = 0;
    const int64_t gradeX = int64_t(r->frame.width) - l.gradeRight;
    if (gradeX >= 0) BlendImage(r, r->images[kImageMiss + k], gradeX, l.gradeTop, r->scoreAlpha);
}
