// capped_bar.h - the walk over the pieces of a bar built from three skin images: a
// left cap, a middle piece repeated as often as needed, and a right cap.  The note
// strips copy the pieces into a strip and the trail blends them onto the frame;
// both take the pieces from here.
//
//   w >= lw + rw:  [L][M][M]..[M'][R]    L at x, middle pieces from x + lw, the last
//                                        one cut to what remains, R right after it
//   w <  lw + rw:  h = w / 2 (toward zero); nothing when h < 1; otherwise the first
//                  columns of L at x and the last columns of R ending at x + 2h,
//                  each at most h columns and never more than the cap has
//
// A piece whose destination column is negative is skipped whole, not clipped.
// Middle pieces at or beyond `limit` (the right edge of what is drawn into) are not
// visited, nor whole pieces left of column 0, since nothing there shows: the walk
// costs at most limit / middle width steps, however long the bar.  A middle piece
// of no width leaves the middle empty rather than looping forever.
#ifndef RENDERER_IMAGING_CAPPED_BAR_H
#define RENDERER_IMAGING_CAPPED_BAR_H

#include <algorithm>
#include <cstdint>

#include "imaging/image_rect.h"

// Calls draw(piece, dstX) for every piece of a bar of width w at column x, where
// piece is the part of a skin image to draw (its full height).
template <typename DrawPiece>
void ForEachBarPiece(const ImageRect& left, const ImageRect& middle, const ImageRect& right, int64_t x, int64_t w,
                     int64_t limit, DrawPiece draw) {
    const int64_t lw = left.width, rw = right.width;
    if (w < lw + rw) {
        const int64_t h = w / 2;
        if (h < 1) return;
        const int64_t leftColumns = std::min<int64_t>(h, std::max<int64_t>(lw, 0));
        const int64_t rightColumns = std::min<int64_t>(h, std::max<int64_t>(rw, 0));
        if (x >= 0) draw(ImageRect{left.x, left.y, int32_t(leftColumns), left.height}, x);
        const int64_t rightX = x + 2 * h - rightColumns;
        if (rightX >= 0)
            draw(ImageRect{int32_t(right.x + rw - rightColumns), right.y, int32_t(rightColumns), right.height}, rightX);
        return;
    }
    if (x >= 0) draw(left, x);
    int64_t column = x + lw;
    int64_t remaining = w - lw - rw;
    if (column < 0 && middle.width > 0) {  // whole pieces that would start left of 0
        const int64_t skipped = std::min(-column / middle.width, remaining / middle.width);
        column += skipped * middle.width;
        remaining -= skipped * middle.width;
    }
    while (remaining > 0 && middle.width > 0 && column < limit) {
        const int64_t piece = std::min<int64_t>(remaining, middle.width);
        if (column >= 0) draw(ImageRect{middle.x, middle.y, int32_t(piece), middle.height}, column);
        remaining -= middle.width;
        column += piece;
    }
    if (remaining > 0) column += remaining;  // the rest lies beyond the limit or has no middle piece
    if (column >= 0) draw(right, column);
}

#endif
