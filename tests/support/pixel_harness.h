// pixel_harness.h - seeded random surfaces and rectangles for comparing pixel
// operations byte for byte (a fast path against the scalar reference), with
// canary bytes around every buffer and a CRC of every result.
#ifndef RENDERER_TESTS_PIXEL_HARNESS_H
#define RENDERER_TESTS_PIXEL_HARNESS_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/compositing.h"
#include "test_random.h"

namespace harness {

constexpr uint8_t kCanary = 0xA5;
constexpr int kGuardBytes = 64;

// A pixel buffer with guard bytes before and after it.
struct GuardedPixels {
    int32_t width = 0, height = 0, stride = 0;
    std::vector<uint8_t> storage;

    GuardedPixels(int32_t w, int32_t h) : width(w), height(h), stride(w * 4) {
        storage.assign(size_t(kGuardBytes) * 2 + size_t(stride) * size_t(h), kCanary);
    }
    uint8_t* pixels() { return storage.data() + kGuardBytes; }
    const uint8_t* pixels() const { return storage.data() + kGuardBytes; }
    size_t bytes() const { return size_t(stride) * size_t(height); }
    bool GuardsIntact() const {
        for (int i = 0; i < kGuardBytes; ++i)
            if (storage[size_t(i)] != kCanary || storage[storage.size() - 1 - size_t(i)] != kCanary) return false;
        return true;
    }
};

// Pixels whose alpha is often 0 or 255 (the cases with their own branches).
inline void FillRandom(GuardedPixels* p, TestRandom* rng) {
    uint8_t* px = p->pixels();
    for (size_t i = 0; i < p->bytes(); i += 4) {
        for (int c = 0; c < 3; ++c) px[i + size_t(c)] = rng->Byte();
        const int kind = rng->Uniform(0, 3);
        px[i + 3] = kind == 0 ? 0 : kind == 1 ? 255 : rng->Byte();
    }
}

// Runs of equal alpha (0, 255 or one random value) and of one colour, as the
// strips and frames have them: whole groups of four take the kernels' shortcuts.
inline void FillRuns(GuardedPixels* p, TestRandom* rng) {
    uint8_t* px = p->pixels();
    const size_t count = p->bytes() / 4;
    for (size_t i = 0; i < count;) {
        const size_t end = std::min(count, i + size_t(rng->Uniform(1, 24)));
        const int kind = rng->Uniform(0, 3);
        const uint8_t alpha = kind == 0 ? 0 : kind == 1 ? 255 : rng->Byte();
        const uint8_t colour[3] = {rng->Byte(), rng->Byte(), rng->Byte()};
        for (; i < end; ++i) {
            std::memcpy(px + i * 4, colour, 3);
            px[i * 4 + 3] = alpha;
        }
    }
}

// floor(c * a / 255) for the colours of `count` pixels, written plainly.
inline void PremultiplyRun(uint8_t* p, int64_t count) {
    for (int64_t i = 0; i < count; ++i, p += 4)
        for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] * p[3] / 255);
}

// Sets the pixel path for its lifetime and gives the previous one back.
class PixelPathScope {
public:
    explicit PixelPathScope(PixelPath path) : saved_(ActivePixelPath()) { SetPixelPath(path); }
    ~PixelPathScope() { SetPixelPath(saved_); }
    PixelPathScope(const PixelPathScope&) = delete;
    PixelPathScope& operator=(const PixelPathScope&) = delete;

private:
    PixelPath saved_;
};

// CRC-32 (IEEE), to fold many results into one golden number.
inline uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Arguments of one random CopyPixels/BlendPixels call whose source rectangle lies
// inside the source; the destination side exercises the clipping rules.
struct RectCall {
    int32_t dstX, dstY, clipWidth, clipHeight, srcX, srcY, width, height;
    uint8_t alpha;
};

inline RectCall RandomCall(const GuardedPixels& dst, const GuardedPixels& src, TestRandom* rng) {
    auto uniform = [rng](int lo, int hi) { return rng->Uniform(lo, hi); };
    RectCall c;
    c.width = uniform(0, src.width);
    c.height = uniform(0, src.height);
    c.srcX = uniform(0, src.width - c.width);
    c.srcY = uniform(0, src.height - c.height);
    c.dstX = uniform(0, dst.width);
    c.dstY = uniform(0, dst.height);
    c.clipWidth = dst.width;
    c.clipHeight = uniform(0, dst.height);
    const int a = uniform(0, 3);
    c.alpha = a == 0 ? 255 : a == 1 ? 0 : uint8_t(uniform(0, 255));
    return c;
}

}  // namespace harness

#endif
