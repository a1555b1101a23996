// RotatePixels: box sizes and tips at the documented angles, the fixed-point
// sine and cosine, clipping at the destination, and that every pixel drawn comes
// from the source rectangle.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/compositing.h"
#include "pixel_harness.h"

constexpr uint32_t kGoldenCosSinCrc = 0x838ED77Eu;

namespace {

struct Rotated {
    int32_t width = -1, height = -1, tipX = -1, tipY = -1;
};

// A fully opaque 40 x 20 rectangle whose pixels encode their own coordinates.
OwnedSurface MakeSource(int32_t w = 40, int32_t h = 20) {
    OwnedSurface s;
    EXPECT_TRUE(CreateDibSurface(w, h, &s));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = SurfacePixel(s, x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 0x80;
            p[3] = 255;
        }
    return s;
}

Rotated Rotate(const DibSurface& src, int angle, DibSurface* dst, int32_t dstX = 0) {
    Rotated r;
    EXPECT_TRUE(RotatePixels(src, 0, 0, src.width, src.height, dst, dstX, angle, &r.width, &r.height, &r.tipX,
                             &r.tipY));
    return r;
}

TEST(RotatePixels, FixedPointSineAndCosine) {
    int32_t c = 0, s = 0;
    FixedPointCosSin(0, &c, &s);
    EXPECT_EQ(65536, c);
    EXPECT_EQ(0, s);
    FixedPointCosSin(30, &c, &s);
    EXPECT_EQ(56755, c);
    EXPECT_EQ(32767, s);
    // Golden sum over every angle a caller passes: identical on every build.
    uint32_t crc = 0;
    for (int a = 0; a < 360; ++a) {
        FixedPointCosSin(a, &c, &s);
        const int32_t both[2] = {c, s};
        crc = harness::Crc32(reinterpret_cast<const uint8_t*>(both), sizeof both, crc);
    }
    EXPECT_EQ(kGoldenCosSinCrc, crc);
}

TEST(RotatePixels, BoxesAndTipsAtDocumentedAngles) {
    OwnedSurface src = MakeSource();
    struct Case {
        int angle, w, h, tipX, tipY;
    } cases[] = {{0, 40, 20, 39, 9}, {30, 44, 37, 41, 28}, {330, 44, 37, 39, 8}, {360, 40, 20, 39, 9},
                 {390, 44, 37, 41, 28}};
    for (const Case& c : cases) {
        OwnedSurface dst;
        ASSERT_TRUE(CreateDibSurface(64, 64, &dst));
        const Rotated r = Rotate(src, c.angle, &dst);
        EXPECT_EQ(c.w, r.width) << c.angle;
        EXPECT_EQ(c.h, r.height) << c.angle;
        EXPECT_EQ(c.tipX, r.tipX) << c.angle;
        EXPECT_EQ(c.tipY, r.tipY) << c.angle;
        // The tip pixel is the right end of the middle source row (row 9).
        const uint8_t* tip = SurfacePixel(dst, r.tipX, r.tipY);
        EXPECT_EQ(9, tip[1]) << c.angle;
        EXPECT_EQ(255, tip[3]);
    }
}

// At 0 degrees the rotation is a plain copy; outside the box nothing is written.
TEST(RotatePixels, ZeroDegreesIsACopy) {
    OwnedSurface src = MakeSource();
    OwnedSurface dst;
    ASSERT_TRUE(CreateDibSurface(50, 25, &dst));
    Rotate(src, 0, &dst, 5);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 50; ++x) {
            const uint8_t* p = SurfacePixel(dst, x, y);
            if (x >= 5 && x < 45 && y < 20)
                EXPECT_EQ(0, std::memcmp(p, SurfacePixel(src, x - 5, y), 4));
            else
                EXPECT_EQ(0, p[3]);
        }
}

// Every drawn pixel carries the coordinates of a real source pixel, and a small
// destination cuts the picture at its right and bottom edges without overrun.
TEST(RotatePixels, ClipsToDestinationAndReadsOnlyTheSource) {
    OwnedSurface src = MakeSource();
    for (int angle : {1, 15, 29, 30, 331, 345, 359}) {
        OwnedSurface full, small;
        ASSERT_TRUE(CreateDibSurface(80, 60, &full));
        ASSERT_TRUE(CreateDibSurface(20, 10, &small));
        const Rotated r = Rotate(src, angle, &full, 0);
        const Rotated cut = Rotate(src, angle, &small, -7);
        EXPECT_EQ(r.width, cut.width);
        EXPECT_EQ(r.height, cut.height);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                const uint8_t* p = SurfacePixel(full, x, y);
                if (p[3] == 0) continue;
                EXPECT_LT(p[0], 40);
                EXPECT_LT(p[1], 20);
                EXPECT_TRUE(x < r.width && y < r.height);
            }
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                EXPECT_EQ(0, std::memcmp(SurfacePixel(small, x, y), SurfacePixel(full, x + 7, y), 4));
    }
}

// A rectangle that reaches past the source surface draws only what exists.
TEST(RotatePixels, SourceRectangleOutsideTheSourceIsNotRead) {
    OwnedSurface src = MakeSource(10, 10);
    OwnedSurface dst;
    ASSERT_TRUE(CreateDibSurface(64, 64, &dst));
    int32_t w = 0, h = 0, tx = 0, ty = 0;
    EXPECT_TRUE(RotatePixels(src, 5, 5, 40, 20, &dst, 0, 10, &w, &h, &tx, &ty));
    int drawn = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = SurfacePixel(dst, x, y);
            if (p[3] == 0) continue;
            ++drawn;
            EXPECT_GE(p[0], 5);  // only pixels of the source's lower-right quarter
            EXPECT_GE(p[1], 5);
        }
    EXPECT_GT(drawn, 0);
    ReleaseDibSurface(&dst);
    ASSERT_TRUE(CreateDibSurface(64, 64, &dst));
    EXPECT_TRUE(RotatePixels(src, 5000, -5000, 40, 20, &dst, 0, 10, &w, &h, &tx, &ty));
    for (int i = 0; i < 64 * 64 * 4; ++i) ASSERT_EQ(0, dst.pixels[i]);
}

TEST(RotatePixels, RefusesSurfacesWithoutPixelsAndLeavesResults) {
    OwnedSurface src = MakeSource();
    OwnedSurface none;
    int32_t w = 7, h = 7, tx = 7, ty = 7;
    EXPECT_FALSE(RotatePixels(src, 0, 0, 40, 20, &none, 0, 5, &w, &h, &tx, &ty));
    EXPECT_FALSE(RotatePixels(none, 0, 0, 40, 20, &src, 0, 5, &w, &h, &tx, &ty));
    EXPECT_EQ(7, w);
    EXPECT_EQ(7, h);
    EXPECT_EQ(7, tx);
    EXPECT_EQ(7, ty);
}

}  // namespace
