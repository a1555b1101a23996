// The cursor strip: the cell size, the level frame, rotated frames at the
// documented angles, the missing-atlas and zero-size cases, and cells that must
// be cut to the strip before they are read.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/cursor_frames.h"

namespace {

// An atlas holding three opaque 40 x 20 cursors side by side: green, red, yellow.
OwnedSurface ThreeCursors() {
    OwnedSurface atlas;
    EXPECT_TRUE(CreateDibSurface(120, 20, &atlas));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) {
            uint8_t* p = SurfacePixel(atlas, x, y);
            p[x / 40 == 0 ? 1 : x / 40 == 1 ? 2 : 0] = 255;
            if (x / 40 == 2) p[1] = p[2] = 255, p[0] = 0;
            p[3] = 255;
        }
    return atlas;
}

const ImageRect kGreen{0, 0, 40, 20}, kRed{40, 0, 40, 20}, kYellow{80, 0, 40, 20};

void ExpectFrame(const CursorFrame& f, int tipX, int tipY, int left, int top, int right, int bottom) {
    EXPECT_EQ(tipX, f.tipX);
    EXPECT_EQ(tipY, f.tipY);
    EXPECT_EQ(left, f.left);
    EXPECT_EQ(top, f.top);
    EXPECT_EQ(right, f.right);
    EXPECT_EQ(bottom, f.bottom);
}

TEST(CursorFrames, FortyByTwentyCursors) {
    OwnedSurface atlas = ThreeCursors();
    OwnedSurface strip;
    CursorIndex index;
    BuildCursorFrames(atlas, kGreen, kRed, kYellow, &strip, &index);
    EXPECT_EQ(2867, strip.width);  // 61 * 47
    EXPECT_EQ(47, strip.height);
    EXPECT_EQ(61u, index.size());
    ExpectFrame(index[0], 40, 10, 0, 0, 40, 20);
    ExpectFrame(index[1], 39, 10, 42, 0, 82, 20);
    const CursorFrame f30 = index[30];
    EXPECT_EQ(44, f30.right - f30.left);
    EXPECT_EQ(37, f30.bottom);
    EXPECT_EQ(41, f30.tipX);
    EXPECT_EQ(28, f30.tipY);
    const CursorFrame f330 = index[330];
    EXPECT_EQ(44, f330.right - f330.left);
    EXPECT_EQ(37, f330.bottom);
    EXPECT_EQ(39, f330.tipX);
    EXPECT_EQ(8, f330.tipY);
    EXPECT_EQ(0u, index.count(31));
    EXPECT_EQ(0u, index.count(329));
    // Colours: green level, red clockwise, yellow counter-clockwise; 2 clear columns between.
    EXPECT_EQ(255, SurfacePixel(strip, 10, 10)[1]);
    EXPECT_EQ(0, SurfacePixel(strip, 41, 10)[3]);
    const CursorFrame f1 = index[1];
    EXPECT_EQ(255, SurfacePixel(strip, f1.left + f1.tipX, f1.tipY)[2]);
    const CursorFrame f359 = index[359];
    EXPECT_EQ(f30.right + 2, f359.left);
    const uint8_t* tip = SurfacePixel(strip, f359.left + f359.tipX, f359.tipY);
    EXPECT_EQ(255, tip[1]);
    EXPECT_EQ(255, tip[2]);
    // Present keys keep their frames.
    index[5].tipX = 999;
    ReleaseDibSurface(&strip);
    BuildCursorFrames(atlas, kGreen, kRed, kYellow, &strip, &index);
    EXPECT_EQ(999, index[5].tipX);
}

TEST(CursorFrames, WithoutAnAtlasEveryRotatedCellIsEmpty) {
    OwnedSurface none, strip;
    CursorIndex index;
    BuildCursorFrames(none, kGreen, kRed, kYellow, &strip, &index);
    ExpectFrame(index[0], 40, 10, 0, 0, 40, 20);
    ExpectFrame(index[1], 0, 0, 42, 0, 42, 0);
    ExpectFrame(index[2], 0, 0, 44, 0, 44, 0);
    ExpectFrame(index[330], 0, 0, 42 + 59 * 2, 0, 42 + 59 * 2, 0);
}

TEST(CursorFrames, ZeroSizeGreenGivesATinyStrip) {
    OwnedSurface atlas = ThreeCursors(), strip;
    CursorIndex index;
    BuildCursorFrames(atlas, ImageRect{}, kRed, kYellow, &strip, &index);
    EXPECT_EQ(122, strip.width);
    EXPECT_EQ(2, strip.height);
    // The rotated frames are cut by the strip, but their frames keep the full size:
    // reading a cell is clipped first.
    const CursorFrame f10 = index[10];
    EXPECT_GT(f10.bottom, strip.height);
    ImageRect cell;
    if (CursorCellInStrip(f10, strip, &cell)) {
        EXPECT_LE(cell.x + cell.width, strip.width);
        EXPECT_LE(cell.y + cell.height, strip.height);
    }
    EXPECT_FALSE(CursorCellInStrip(index[30], strip, &cell));  // starts past the strip's end
}

}  // namespace
