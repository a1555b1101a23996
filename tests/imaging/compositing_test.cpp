// Copy, blend and premultiply: the exact numbers, the clipping rules, exhaustive
// checks against formulas written differently from the code, and a golden CRC
// over seeded random calls that every future fast path must reproduce.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "imaging/compositing.h"
#include "pixel_harness.h"
#include "test_random.h"

constexpr uint32_t kGoldenCompositingCrc = 0xDE502E87u;

namespace {

struct Pixel {
    uint8_t b, g, r, a;
};

Pixel BlendOne(Pixel dst, Pixel src, uint8_t alpha) {
    uint8_t d[4] = {dst.b, dst.g, dst.r, dst.a};
    const uint8_t s[4] = {src.b, src.g, src.r, src.a};
    EXPECT_EQ(1, BlendPixels(d, 4, 0, 0, 1, 1, s, 4, 0, 0, 1, 1, alpha));
    return Pixel{d[0], d[1], d[2], d[3]};
}

#define EXPECT_PIXEL(expected, actual)          \
    do {                                        \
        const Pixel e_ = (expected), a_ = (actual); \
        EXPECT_EQ(e_.b, a_.b);                  \
        EXPECT_EQ(e_.g, a_.g);                  \
        EXPECT_EQ(e_.r, a_.r);                  \
        EXPECT_EQ(e_.a, a_.a);                  \
    } while (0)

TEST(BlendPixels, KnownValues) {
    EXPECT_PIXEL((Pixel{129, 81, 32, 147}), BlendOne({50, 60, 70, 100}, {200, 100, 0, 100}, 200));
    // Onto a transparent destination the source is copied, alpha included.
    EXPECT_PIXEL((Pixel{1, 2, 3, 77}), BlendOne({9, 9, 9, 0}, {1, 2, 3, 77}, 255));
    // ... and with a global opacity only the alpha changes: trunc(128/255 * 255) = 128.
    EXPECT_PIXEL((Pixel{1, 2, 3, 128}), BlendOne({9, 9, 9, 0}, {1, 2, 3, 255}, 128));
    // An opaque source over anything non-transparent gives the source, opaque.
    EXPECT_PIXEL((Pixel{10, 20, 30, 255}), BlendOne({200, 200, 200, 1}, {10, 20, 30, 255}, 255));
    // Half-covering white over opaque black.
    EXPECT_PIXEL((Pixel{128, 128, 128, 255}), BlendOne({0, 0, 0, 255}, {255, 255, 255, 128}, 255));
    // A transparent source leaves a non-transparent destination alone.
    EXPECT_PIXEL((Pixel{5, 6, 7, 8}), BlendOne({5, 6, 7, 8}, {90, 90, 90, 0}, 255));
}

// Over every pair of alphas, for several opacities: the result lies within one step
// of the exact over operator computed in long double.
TEST(BlendPixels, ExhaustiveAlphaPairsMatchOverOperator) {
    const uint8_t opacities[] = {255, 254, 200, 128, 1, 0};
    for (uint8_t opacity : opacities) {
        for (int as = 0; as < 256; ++as) {
            for (int ad = 1; ad < 256; ++ad) {
                const Pixel dst{uint8_t(ad * 7), uint8_t(255 - ad), 0, uint8_t(ad)};
                const Pixel src{uint8_t(as * 3), 255, uint8_t(as), uint8_t(as)};
                const Pixel out = BlendOne(dst, src, opacity);
                if (as == 0) {
                    EXPECT_PIXEL(dst, out);
                    continue;
                }
                const long double cs = (long double)opacity / 255 * as / 255;
                const long double b = (long double)ad / 255;
                const long double e = cs + b * (1 - cs);
                ASSERT_NEAR(double(e * 255), double(out.a), 1.001) << as << " " << ad << " " << int(opacity);
                const uint8_t dc[3] = {dst.b, dst.g, dst.r}, sc[3] = {src.b, src.g, src.r};
                const uint8_t oc[3] = {out.b, out.g, out.r};
                for (int c = 0; c < 3; ++c) {
                    const long double expected = (dc[c] * b * (1 - cs) + sc[c] * cs) / e;
                    ASSERT_NEAR(double(expected), double(oc[c]), 1.001) << as << " " << ad << " " << c;
                }
            }
        }
    }
}

TEST(CopyPixels, TransparentSourceWritesZeroAndOpaqueCopies) {
    const uint8_t src[8] = {9, 8, 7, 0, 1, 2, 3, 4};
    uint8_t dst[8];
    std::memset(dst, 0xEE, sizeof dst);
    EXPECT_EQ(1, CopyPixels(dst, 8, 0, 0, 2, 1, src, 8, 0, 0, 2, 1));
    const uint8_t expected[8] = {0, 0, 0, 0, 1, 2, 3, 4};
    EXPECT_EQ(0, std::memcmp(expected, dst, 8));
}

// The row is cut at the destination's right edge; clipHeight stops the rows;
// negative arguments and null pointers are refused.
TEST(CopyPixels, ClippingAndRejection) {
    harness::GuardedPixels dst(4, 3), src(6, 6);
    TestRandom rng(7);
    harness::FillRandom(&src, &rng);
    for (size_t i = 0; i < src.bytes(); i += 4) src.pixels()[i + 3] = 255;
    std::memset(dst.pixels(), 0x11, dst.bytes());

    EXPECT_EQ(1, CopyPixels(dst.pixels(), dst.stride, 2, 1, 4, 2, src.pixels(), src.stride, 0, 0, 6, 6));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint8_t* d = dst.pixels() + y * dst.stride + x * 4;
            if (y == 1 && x >= 2) {
                EXPECT_EQ(0, std::memcmp(d, src.pixels() + (x - 2) * 4, 4));
            } else {
                const uint8_t untouched[4] = {0x11, 0x11, 0x11, 0x11};
                EXPECT_EQ(0, std::memcmp(d, untouched, 4)) << x << "," << y;  // row 2 is at clipHeight
            }
        }
    EXPECT_TRUE(dst.GuardsIntact());

    // dstX * 4 == stride: accepted, nothing drawn; beyond it: refused.
    std::vector<uint8_t> before(dst.pixels(), dst.pixels() + dst.bytes());
    EXPECT_EQ(1, CopyPixels(dst.pixels(), dst.stride, 4, 0, 4, 3, src.pixels(), src.stride, 0, 0, 2, 2));
    EXPECT_EQ(0, CopyPixels(dst.pixels(), dst.stride, 5, 0, 4, 3, src.pixels(), src.stride, 0, 0, 2, 2));
    const int32_t bad[][8] = {{-1, 0, 4, 3, 0, 0, 1, 1}, {0, -1, 4, 3, 0, 0, 1, 1}, {0, 0, -1, 3, 0, 0, 1, 1},
                              {0, 0, 4, -1, 0, 0, 1, 1}, {0, 0, 4, 3, -1, 0, 1, 1}, {0, 0, 4, 3, 0, -1, 1, 1},
                              {0, 0, 4, 3, 0, 0, -1, 1}, {0, 0, 4, 3, 0, 0, 1, -1}};
    for (const auto& a : bad) {
        EXPECT_EQ(0, CopyPixels(dst.pixels(), dst.stride, a[0], a[1], a[2], a[3], src.pixels(), src.stride, a[4],
                                a[5], a[6], a[7]));
        EXPECT_EQ(0, BlendPixels(dst.pixels(), dst.stride, a[0], a[1], a[2], a[3], src.pixels(), src.stride, a[4],
                                 a[5], a[6], a[7], 255));
    }
    EXPECT_EQ(0, CopyPixels(nullptr, 16, 0, 0, 4, 3, src.pixels(), src.stride, 0, 0, 1, 1));
    EXPECT_EQ(0, BlendPixels(dst.pixels(), 16, 0, 0, 4, 3, nullptr, src.stride, 0, 0, 1, 1, 255));
    // Huge positions cannot wrap the row arithmetic into a write.
    EXPECT_EQ(0, CopyPixels(dst.pixels(), dst.stride, INT32_MAX, 0, 4, 3, src.pixels(), src.stride, 0, 0, 1, 1));
    EXPECT_EQ(1, CopyPixels(dst.pixels(), dst.stride, 0, INT32_MAX, 4, 3, src.pixels(), src.stride, 0, 0, 1, 1));
    EXPECT_EQ(0, std::memcmp(before.data(), dst.pixels(), dst.bytes()));
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST(PremultiplyAlpha, ExhaustiveAgainstFloor) {
    DibSurface s;
    ASSERT_TRUE(CreateDibSurface(256, 256, &s));
    for (int a = 0; a < 256; ++a)
        for (int c = 0; c < 256; ++c) {
            uint8_t* p = SurfacePixel(s, c, a);
            p[0] = uint8_t(c);
            p[1] = uint8_t(255 - c);
            p[2] = uint8_t(c ^ 0x5A);
            p[3] = uint8_t(a);
        }
    PremultiplyAlpha(&s);
    for (int a = 0; a < 256; ++a)
        for (int c = 0; c < 256; ++c) {
            const uint8_t* p = SurfacePixel(s, c, a);
            ASSERT_EQ(int(std::floor(c * a / 255.0)), p[0]);
            ASSERT_EQ(int(std::floor((255 - c) * a / 255.0)), p[1]);
            ASSERT_EQ(int(std::floor((c ^ 0x5A) * a / 255.0)), p[2]);
            ASSERT_EQ(a, p[3]);
        }
    ReleaseDibSurface(&s);

    DibSurface one;
    ASSERT_TRUE(CreateDibSurface(1, 1, &one));
    const uint8_t px[4] = {255, 128, 1, 128};
    std::memcpy(one.pixels, px, 4);
    PremultiplyAlpha(&one);
    const uint8_t expected[4] = {128, 64, 0, 128};
    EXPECT_EQ(0, std::memcmp(expected, one.pixels, 4));
    ReleaseDibSurface(&one);

    DibSurface empty;
    PremultiplyAlpha(&empty);  // no pixels: nothing happens
    PremultiplyAlpha(nullptr);
}

// Seeded random copies and blends over random surfaces, folded into one CRC.
// The value was recorded from the scalar reference; the fast path reproduces it.
TEST(Compositing, GoldenChecksumOfRandomCalls) {
    for (PixelPath path : {PixelPath::kReference, PixelPath::kFast}) {
        harness::PixelPathScope scope(path);
        TestRandom rng(20261207);
        uint32_t crc = 0;
        for (int round = 0; round < 2000; ++round) {
            // One size at a time: the order in which arguments are evaluated is not fixed.
            const int dstWidth = rng.Uniform(1, 40), dstHeight = rng.Uniform(1, 40);
            const int srcWidth = rng.Uniform(1, 40), srcHeight = rng.Uniform(1, 40);
            harness::GuardedPixels dst(dstWidth, dstHeight), src(srcWidth, srcHeight);
            harness::FillRandom(&dst, &rng);
            harness::FillRandom(&src, &rng);
            const harness::RectCall c = harness::RandomCall(dst, src, &rng);
            const int result = (round & 1)
                ? BlendPixels(dst.pixels(), dst.stride, c.dstX, c.dstY, c.clipWidth, c.clipHeight, src.pixels(),
                              src.stride, c.srcX, c.srcY, c.width, c.height, c.alpha)
                : CopyPixels(dst.pixels(), dst.stride, c.dstX, c.dstY, c.clipWidth, c.clipHeight, src.pixels(),
                             src.stride, c.srcX, c.srcY, c.width, c.height);
            ASSERT_EQ(1, result);
            ASSERT_TRUE(dst.GuardsIntact()) << "round " << round;
            crc = harness::Crc32(dst.pixels(), dst.bytes(), crc);
        }
        EXPECT_EQ(kGoldenCompositingCrc, crc) << (path == PixelPath::kFast ? "fast" : "reference");
    }
}

}  // namespace
