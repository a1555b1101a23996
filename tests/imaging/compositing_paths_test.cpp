// The fast pixel kernels against the scalar reference: the same calls on the same
// seeded random pixels through both paths must leave the same bytes, return the
// same result and keep the canaries around every buffer.  Plus the blend over
// every pair of alphas at the opacities that take different branches, with the
// colour pairs that land on or near whole numbers, and premultiply over every
// (colour, alpha).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/blit.h"
#include "imaging/compositing.h"
#include "pixel_harness.h"
#include "test_random.h"

namespace {

using harness::GuardedPixels;
using harness::PixelPathScope;

struct CallResult {
    int returned;
    GuardedPixels pixels;
};

// One CopyPixels or BlendPixels call (alpha < 0: a copy) on a copy of `dst`, through `path`.
CallResult RunCall(PixelPath path, const GuardedPixels& dst, const GuardedPixels& src, const harness::RectCall& c,
               int alpha) {
    PixelPathScope scope(path);
    CallResult r{0, dst};
    r.returned = alpha < 0
        ? CopyPixels(r.pixels.pixels(), dst.stride, c.dstX, c.dstY, c.clipWidth, c.clipHeight, src.pixels(),
                     src.stride, c.srcX, c.srcY, c.width, c.height)
        : BlendPixels(r.pixels.pixels(), dst.stride, c.dstX, c.dstY, c.clipWidth, c.clipHeight, src.pixels(),
                      src.stride, c.srcX, c.srcY, c.width, c.height, uint8_t(alpha));
    return r;
}

// The index of the first differing pixel, or -1.
int64_t FirstDifference(const GuardedPixels& a, const GuardedPixels& b) {
    for (size_t i = 0; i < a.bytes(); i += 4)
        if (std::memcmp(a.pixels() + i, b.pixels() + i, 4) != 0) return int64_t(i / 4);
    return -1;
}

// Blends src over dst (same size, whole surface) through both paths and compares.
void ExpectBlendPathsAgree(const GuardedPixels& dst, const GuardedPixels& src, uint8_t alpha) {
    const harness::RectCall whole = {0, 0, dst.width, dst.height, 0, 0, dst.width, dst.height, alpha};
    const CallResult ref = RunCall(PixelPath::kReference, dst, src, whole, alpha);
    const CallResult fast = RunCall(PixelPath::kFast, dst, src, whole, alpha);
    const int64_t i = FirstDifference(ref.pixels, fast.pixels);
    ASSERT_EQ(-1, i) << "alpha " << int(alpha) << " pixel " << i << ": dst " << std::hex
                     << *reinterpret_cast<const uint32_t*>(dst.pixels() + i * 4) << " src "
                     << *reinterpret_cast<const uint32_t*>(src.pixels() + i * 4) << " reference "
                     << *reinterpret_cast<const uint32_t*>(ref.pixels.pixels() + i * 4) << " fast "
                     << *reinterpret_cast<const uint32_t*>(fast.pixels.pixels() + i * 4);
    ASSERT_TRUE(fast.pixels.GuardsIntact());
}

void SetPixel(GuardedPixels* p, int64_t i, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    uint8_t* px = p->pixels() + i * 4;
    px[0] = b;
    px[1] = g;
    px[2] = r;
    px[3] = a;
}

const uint8_t kOpacities[] = {0, 1, 127, 128, 200, 254, 255};

// The path at the start of every test is the one the environment chose at the
// first pixel operation (the tests that switch it give it back).
TEST(PixelPaths, TheEnvironmentChoosesThePath) {
    const char* setting = std::getenv("RENDERER_PIXEL_PATH");
    const bool reference = (setting && std::strcmp(setting, "reference") == 0) || !HasFastPixelPath();
    EXPECT_EQ(reference ? PixelPath::kReference : PixelPath::kFast, ActivePixelPath());
}

// Random surfaces (single pixels or runs, sometimes the source in the destination's
// own colours), random rectangles with every clipping case (rows cut at the
// destination's right edge, clipHeight above, at and below the rectangle, empty
// rectangles), refused arguments, and a source overlapping its destination.
TEST(PixelPaths, RandomCopiesAndBlendsMatchTheReference) {
#if defined(__SSE2__)
    ASSERT_TRUE(HasFastPixelPath());
#endif
    TestRandom rng(1307);
    auto uniform = [&rng](int lo, int hi) { return rng.Uniform(lo, hi); };
    for (int round = 0; round < 4000; ++round) {
        GuardedPixels dst(uniform(1, 67), uniform(1, 9));
        const bool sameSize = round % 4 == 3;
        GuardedPixels src(sameSize ? dst.width : uniform(1, 67), sameSize ? dst.height : uniform(1, 9));
        if (round % 2) {
            harness::FillRuns(&dst, &rng);
            harness::FillRuns(&src, &rng);
        } else {
            harness::FillRandom(&dst, &rng);
            harness::FillRandom(&src, &rng);
        }
        if (sameSize)  // the source in the destination's colours: results on whole numbers
            for (size_t i = 0; i < dst.bytes(); i += 4) std::memcpy(src.pixels() + i, dst.pixels() + i, 3);
        harness::RectCall c = harness::RandomCall(dst, src, &rng);
        switch (uniform(0, 15)) {  // now and then an argument the operations refuse or cut
            case 0: c.dstX = dst.width + uniform(1, 3); break;
            case 1: c.srcX = -uniform(1, 3); break;
            case 2: c.clipHeight = -1; break;
            case 3: c.height = -1; break;
            case 4: c.clipHeight = c.dstY; break;  // the first row is already at clipHeight
            default: break;
        }
        const int alpha = round % 3 == 0 ? -1 : c.alpha;
        const CallResult ref = RunCall(PixelPath::kReference, dst, src, c, alpha);
        const CallResult fast = RunCall(PixelPath::kFast, dst, src, c, alpha);
        ASSERT_EQ(ref.returned, fast.returned) << "round " << round;
        ASSERT_EQ(-1, FirstDifference(ref.pixels, fast.pixels)) << "round " << round << " alpha " << alpha;
        ASSERT_TRUE(ref.pixels.GuardsIntact() && fast.pixels.GuardsIntact()) << "round " << round;
    }

    // Source and destination in one buffer, shifted by less than four pixels: the
    // reference sees the pixels it has already written, and so must the fast path.
    for (int round = 0; round < 200; ++round) {
        GuardedPixels buffer[2] = {GuardedPixels(40, 6), GuardedPixels(40, 6)};
        harness::FillRandom(&buffer[0], &rng);
        buffer[1] = buffer[0];
        const int32_t srcX = uniform(0, 8), dstX = uniform(0, 8), dstY = uniform(0, 1), w = uniform(0, 30);
        const int alpha = uniform(-1, 255);
        int returned[2];
        for (int p = 0; p < 2; ++p) {
            PixelPathScope scope(p ? PixelPath::kFast : PixelPath::kReference);
            uint8_t* px = buffer[p].pixels();
            returned[p] = alpha < 0
                ? CopyPixels(px, 160, dstX, dstY, 40, 6, px, 160, srcX, 0, w, 5)
                : BlendPixels(px, 160, dstX, dstY, 40, 6, px, 160, srcX, 0, w, 5, uint8_t(alpha));
        }
        ASSERT_EQ(returned[0], returned[1]);
        ASSERT_EQ(-1, FirstDifference(buffer[0], buffer[1])) << "overlap round " << round;
    }
}

// Every (source alpha, destination alpha) at each opacity, sixteen pixels per pair:
// the source in the destination's own colour (the result lands next to a whole
// number), black and white against each other and themselves, and random colours.
// Then, for a few alpha pairs, every (destination, source) value of two channels.
TEST(PixelPaths, BlendOverEveryAlphaPairMatchesTheReference) {
    TestRandom rng(2024);
    auto byte = [&rng]() { return rng.Byte(); };
    GuardedPixels dst(256 * 16, 256), src(256 * 16, 256);
    for (int ad = 0; ad < 256; ++ad)
        for (int as = 0; as < 256; ++as)
            for (int j = 0; j < 16; ++j) {
                const int64_t i = int64_t(ad) * dst.width + as * 16 + j;
                const uint8_t b = byte(), g = byte(), r = byte();
                SetPixel(&dst, i, b, g, r, uint8_t(ad));
                if (j < 6)
                    SetPixel(&src, i, b, g, r, uint8_t(as));
                else if (j == 6)
                    SetPixel(&src, i, uint8_t(255 - b), uint8_t(255 - g), uint8_t(255 - r), uint8_t(as));
                else if (j < 10)
                    SetPixel(&src, i, byte(), byte(), byte(), uint8_t(as));
                else {
                    const uint8_t v[6][2] = {{0, 255}, {255, 0}, {255, 255}, {0, 0}, {255, 1}, {1, 254}};
                    const uint8_t* pair = v[j - 10];
                    SetPixel(&dst, i, pair[0], pair[1], pair[0], uint8_t(ad));
                    SetPixel(&src, i, pair[1], pair[0], pair[0], uint8_t(as));
                }
            }
    for (uint8_t opacity : kOpacities) ExpectBlendPathsAgree(dst, src, opacity);

    const uint8_t pairs[][2] = {{1, 1}, {128, 255}, {255, 128}, {77, 200}, {254, 254}, {200, 1}};
    GuardedPixels colourDst(256, 256), colourSrc(256, 256);
    for (const auto& pair : pairs) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                SetPixel(&colourDst, y * 256 + x, uint8_t(x), uint8_t(y), uint8_t(x ^ y), pair[1]);
                SetPixel(&colourSrc, y * 256 + x, uint8_t(y), uint8_t(x), uint8_t(x), pair[0]);
            }
        for (uint8_t opacity : kOpacities) ExpectBlendPathsAgree(colourDst, colourSrc, opacity);
    }
}

// Every (colour, alpha) through both paths, on rows of odd width so that the
// pixels fall at every position of a group, against floor(c * a / 255); then
// random runs (whole groups of alpha 0, 255 or black that are left alone).
TEST(PixelPaths, PremultiplyMatchesTheReferenceEverywhere) {
    GuardedPixels all(251, 262);
    for (int64_t i = 0; i < int64_t(all.bytes() / 4); ++i) {
        const int c = int(i & 255), a = int((i >> 8) & 255);
        SetPixel(&all, i, uint8_t(c), uint8_t(255 - c), uint8_t(c ^ 0x5A), uint8_t(a));
    }
    TestRandom rng(99);
    GuardedPixels runs(37, 101);
    harness::FillRuns(&runs, &rng);
    for (GuardedPixels* input : {&all, &runs}) {
        GuardedPixels out[2] = {*input, *input};
        for (int p = 0; p < 2; ++p) {
            PixelPathScope scope(p ? PixelPath::kFast : PixelPath::kReference);
            DibSurface s;
            s.pixels = out[p].pixels();
            s.width = input->width;
            s.height = input->height;
            s.stride = input->stride;
            PremultiplyAlpha(&s);
            ASSERT_TRUE(out[p].GuardsIntact());
        }
        ASSERT_EQ(-1, FirstDifference(out[0], out[1]));
        for (size_t i = 0; i < input->bytes(); i += 4) {
            const uint8_t* in = input->pixels() + i;
            const uint8_t* px = out[1].pixels() + i;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(int(std::floor(in[c] * in[3] / 255.0)), px[c]) << "pixel " << i / 4;
            ASSERT_EQ(in[3], px[3]);
        }
    }
}

// What the frame canvas relies on, on random inputs through both paths:
//  - PixelCallArea names exactly the pixels a copy or blend draws (an opaque
//    source of other colours changes every pixel it reaches), and refuses what
//    the operations refuse;
//  - PremultiplyPixelsOver over a base whose premultiplied form is given equals
//    PremultiplyPixels, for runs at every offset and length;
//  - InkedBounds is the bounding box of the pixels whose alpha is not 0.
TEST(PixelPaths, AreasRunsOverABaseAndInkedBounds) {
    TestRandom rng(4242);
    auto uniform = [&rng](int lo, int hi) { return rng.Uniform(lo, hi); };
    for (int round = 0; round < 3000; ++round) {
        GuardedPixels dst(uniform(1, 40), uniform(1, 9)), src(uniform(1, 40), uniform(1, 9));
        harness::FillRandom(&dst, &rng);
        for (size_t i = 0; i < src.bytes(); i += 4) {  // opaque, never the destination's colour
            src.pixels()[i] = uint8_t(dst.pixels()[i % dst.bytes()] ^ 0x80);
            src.pixels()[i + 1] = uint8_t(uniform(0, 255));
            src.pixels()[i + 2] = 0x11;
            src.pixels()[i + 3] = 255;
        }
        for (size_t i = 0; i < dst.bytes(); i += 4) dst.pixels()[i + 2] = 0x22;
        harness::RectCall c = harness::RandomCall(dst, src, &rng);
        if (uniform(0, 7) == 0) c.dstX = dst.width + uniform(0, 2);
        if (uniform(0, 7) == 0) c.srcY = -1;
        PixelArea area;
        const bool accepted = PixelCallArea(dst.pixels(), dst.stride, c.dstX, c.dstY, c.clipWidth, c.clipHeight,
                                            src.pixels(), c.srcX, c.srcY, c.width, c.height, &area);
        const CallResult drawn = RunCall(ActivePixelPath(), dst, src, c, round % 2 ? 255 : -1);
        ASSERT_EQ(accepted ? 1 : 0, drawn.returned) << "round " << round;
        for (int64_t i = 0; i < int64_t(dst.bytes() / 4); ++i) {
            const int64_t x = i % dst.width, y = i / dst.width;
            const bool inside = accepted && x >= area.x && x < area.x + area.columns && y >= area.y &&
                                y < area.y + area.rows;
            ASSERT_EQ(inside, std::memcmp(dst.pixels() + i * 4, drawn.pixels.pixels() + i * 4, 4) != 0)
                << "round " << round << " pixel " << x << "," << y;
        }
    }

    for (int round = 0; round < 400; ++round) {
        GuardedPixels straight(uniform(1, 90), 1), pixels(straight.width, 1);
        if (round % 2) harness::FillRuns(&straight, &rng); else harness::FillRandom(&straight, &rng);
        GuardedPixels premultiplied = straight;
        harness::PremultiplyRun(premultiplied.pixels(), premultiplied.width);
        pixels = straight;
        GuardedPixels changes(straight.width, 1);
        harness::FillRuns(&changes, &rng);
        for (int32_t x = 0; x < straight.width; ++x)  // runs of changed pixels between runs of the base
            if (changes.pixels()[x * 4 + 3] > 128) std::memcpy(pixels.pixels() + x * 4, changes.pixels() + x * 4, 4);
        const int32_t from = uniform(0, straight.width), count = uniform(0, straight.width - from);
        GuardedPixels expected = pixels;
        harness::PremultiplyRun(expected.pixels() + from * 4, count);
        for (PixelPath path : {PixelPath::kReference, PixelPath::kFast}) {
            PixelPathScope scope(path);
            GuardedPixels out = pixels;
            PremultiplyPixelsOver(out.pixels() + from * 4, straight.pixels() + from * 4,
                                  premultiplied.pixels() + from * 4, count);
            ASSERT_EQ(-1, FirstDifference(expected, out)) << "round " << round;
            ASSERT_TRUE(out.GuardsIntact());
            out = pixels;
            PremultiplyPixels(out.pixels() + from * 4, count);
            ASSERT_EQ(-1, FirstDifference(expected, out)) << "round " << round;
        }
    }

    for (int round = 0; round < 500; ++round) {
        GuardedPixels p(uniform(1, 50), uniform(1, 20));
        std::memset(p.pixels(), 0, p.bytes());
        const int inked = uniform(0, 6);
        for (int k = 0; k < inked; ++k) p.pixels()[(uniform(0, p.height - 1) * p.width + uniform(0, p.width - 1)) * 4 + 3] = 1;
        if (round % 3 == 0)  // colour without alpha is not ink
            for (size_t i = 0; i < p.bytes(); i += 4) p.pixels()[i] = 0x7F;
        int32_t left = p.width, top = p.height, right = -1, bottom = -1;
        for (int32_t y = 0; y < p.height; ++y)
            for (int32_t x = 0; x < p.width; ++x)
                if (p.pixels()[(y * p.width + x) * 4 + 3]) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        DibSurface s;
        s.pixels = p.pixels();
        s.width = p.width;
        s.height = p.height;
        s.stride = p.stride;
        const ImageRect b = InkedBounds(s);
        if (right < 0) {
            ASSERT_TRUE(b.width == 0 && b.height == 0) << "round " << round;
        } else {
            ASSERT_EQ(left, b.x);
            ASSERT_EQ(top, b.y);
            ASSERT_EQ(right - left + 1, b.width);
            ASSERT_EQ(bottom - top + 1, b.height) << "round " << round;
        }
    }
}

}  // namespace
