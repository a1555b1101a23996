// cursor_frames.cpp - BuildCursorFrames.
//
//   d = trunc(ceil(sqrt(gw * gw + gh * gh)) + 2)    (sqrt and ceil in single precision)
//   strip: 61 * d by d;  [green 0°][2][red 1°][2]...[red 30°][2][yellow 359°]...[yellow 330°]
#include "imaging/cursor_frames.h"

#include <algorithm>
#include <cmath>

#include "imaging/compositing.h"

void BuildCursorFrames(const DibSurface& atlas, const ImageRect& green, const ImageRect& red,
                       const ImageRect& yellow, DibSurface* strip, CursorIndex* index) {
    const int32_t gw = green.width, gh = green.height;
    const int64_t squares = int64_t(gw) * gw + int64_t(gh) * gh;  // the images are clipped to the atlas
    const float root = std::sqrt(float(int32_t(std::min<int64_t>(squares, INT32_MAX))));
    const int32_t d = int32_t(std::ceil(root) + 2.0f);
    CreateDibSurface(int32_t(std::min<int64_t>(int64_t(61) * d, INT32_MAX)), d, strip);

    CopyPixels(strip->pixels, strip->stride, 0, 0, strip->width, strip->height, atlas.pixels, atlas.stride, green.x,
               green.y, gw, gh);
    index->emplace(0, CursorFrame{gw, gh / 2, 0, 0, gw, gh});

    int64_t x = int64_t(gw) + 2;
    int32_t rotatedWidth = 0, rotatedHeight = 0, tipX = 0, tipY = 0;
    auto addFrame = [&](int32_t angle, const ImageRect& picture) {
        if (atlas.pixels)
            RotatePixels(atlas, picture.x, picture.y, picture.width, picture.height, strip, int32_t(x), angle,
                         &rotatedWidth, &rotatedHeight, &tipX, &tipY);
        index->emplace(angle, CursorFrame{tipX, tipY, int32_t(x), 0, int32_t(x + rotatedWidth), rotatedHeight});
        x += int64_t(rotatedWidth) + 2;
    };
    for (int32_t a = 1; a <= 30; ++a) addFrame(a, red);
    for (int32_t a = 359; a >= 330; --a) addFrame(a, yellow);
}

bool CursorCellInStrip(const CursorFrame& frame, const DibSurface& strip, ImageRect* cell) {
    const int32_t left = std::max(frame.left, 0), top = std::max(frame.top, 0);
    const int32_t right = std::min(frame.right, strip.width), bottom = std::min(frame.bottom, strip.height);
    if (!strip.pixels || right <= left || bottom <= top) return false;
    *cell = ImageRect{left, top, right - left, bottom - top};
    return true;
}
