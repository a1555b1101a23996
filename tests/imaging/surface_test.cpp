// Surface creation: zeroed pixels, the documented record after success and
// failure, and refusal of sizes whose buffer would not fit.
#include <gtest/gtest.h>

#include "imaging/dib_surface.h"

namespace {

TEST(DibSurface, NewSurfaceIsZeroedAndReleaseEmptiesIt) {
    OwnedSurface s;
    s.tag = 42;
    ASSERT_TRUE(CreateDibSurface(13, 7, &s));
    EXPECT_EQ(52, s.stride);
    EXPECT_EQ(13, s.width);
    EXPECT_EQ(7, s.height);
    EXPECT_EQ(42, s.tag);  // not touched by creation
    EXPECT_NE(nullptr, s.bitmap);
    for (int i = 0; i < 52 * 7; ++i) ASSERT_EQ(0, s.pixels[i]);
    ReleaseDibSurface(&s);
    EXPECT_EQ(nullptr, s.pixels);
    EXPECT_EQ(nullptr, s.bitmap);
    EXPECT_EQ(-1, s.tag);
    EXPECT_EQ(0, s.width);
    ReleaseDibSurface(&s);  // releasing an empty surface is harmless
}

TEST(DibSurface, OversizedAndNegativeSizesFailWithoutWrapping) {
    const int32_t sizes[][2] = {{0, 10},          {10, 0},          {-1, 10},     {10, -1},
                                {INT32_MAX, 1},   {1, INT32_MAX},   {65536, 65536}, {0x40000000, 4},
                                {46341, 46341},   {16385, 16385}};
    for (const auto& wh : sizes) {
        OwnedSurface s;
        EXPECT_FALSE(CreateDibSurface(wh[0], wh[1], &s)) << wh[0] << "x" << wh[1];
        EXPECT_EQ(nullptr, s.pixels);
        EXPECT_EQ(nullptr, s.bitmap);
    }
    EXPECT_EQ(-1, SurfaceByteSize(INT32_MAX, INT32_MAX));
    EXPECT_EQ(kMaxSurfaceBytes, SurfaceByteSize(16384, 16384));
    EXPECT_EQ(-1, SurfaceByteSize(16384, 16385));
    // A refused size leaves no size behind that a later walk could trust.
    OwnedSurface s;
    EXPECT_FALSE(CreateDibSurface(100000, 100000, &s));
    EXPECT_EQ(0, s.width);
    EXPECT_EQ(0, s.height);
    // A zero size keeps the requested size, like a failed bitmap creation.
    EXPECT_FALSE(CreateDibSurface(0, 5, &s));
    EXPECT_EQ(5, s.height);
}

}  // namespace
