// frame_drawing.cpp - what both scenes draw with: clearing and capped bars.
#include <algorithm>
#include <cstring>

#include "imaging/blit.h"
#include "imaging/capped_bar.h"
#include "scenes/scenes.h"

void ClearFrame(DibSurface* f, int64_t clearEnd) {
    const int64_t split = std::clamp<int64_t>(clearEnd, 0, f->height);
    std::memset(f->pixels, 0, size_t(split) * size_t(f->stride));
    for (int64_t y = split; y < f->height; ++y) {
        uint8_t* p = f->pixels + y * f->stride;
        for (int32_t x = 0; x < f->width; ++x, p += 4) std::memcpy(p, &kBandPixel, 4);
    }
}

void DrawCappedBar(DibSurface* frame, const DibSurface& atlas, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width) {
    ForEachBarPiece(left, middle, right, x, width, frame->width,
                    [&](const ImageRect& piece, int64_t at) { BlendRect(frame, at, y, atlas, piece); });
}
