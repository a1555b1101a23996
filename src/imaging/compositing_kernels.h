// compositing_kernels.h - the row kernels behind CopyPixels, BlendPixels and
// PremultiplyAlpha, and the per-pixel helpers that every kernel shares.
//
// compositing.cpp checks the arguments, walks the rows and calls one row kernel
// per row; the kernels only see a destination row, a source row and a count.
// The reference kernels (compositing.cpp) are the plain scalar loops; a fast set
// (compositing_sse2.cpp) must give the same bytes for every input, and handles
// the pixels left over at a row's end with the same helpers as the reference.
#ifndef RENDERER_IMAGING_COMPOSITING_KERNELS_H
#define RENDERER_IMAGING_COMPOSITING_KERNELS_H

#include <cstdint>
#include <cstring>

struct PixelKernels {
    // count pixels of CopyPixels: transparent source pixels become 0,0,0,0.
    void (*copyRow)(uint8_t* d, const uint8_t* s, int64_t count);
    // count pixels of BlendPixels; m = alpha / 255 rounded to float.
    void (*blendRow)(uint8_t* d, const uint8_t* s, int64_t count, uint8_t alpha, float m);
    // count pixels of PremultiplyAlpha, in place.
    void (*premultiplyRow)(uint8_t* p, int64_t count);
    // count pixels of PremultiplyAlpha, in place, where `premultiplied` holds the
    // premultiplied form of `straight`: a pixel still equal to its `straight`
    // pixel may take the `premultiplied` one instead of being computed.
    void (*premultiplyOverRow)(uint8_t* p, const uint8_t* straight, const uint8_t* premultiplied, int64_t count);
};

// One pixel of CopyPixels: a transparent source pixel always leaves clean
// transparent black.
inline void CopyPixel(uint8_t* d, const uint8_t* s) {
    if (s[3] != 0)
        std::memcpy(d, s, 4);
    else
        std::memset(d, 0, 4);
}

// One pixel of PremultiplyAlpha: c' = floor(c * a / 255); alpha stays.
inline void PremultiplyPixel(uint8_t* p) {
    const uint32_t a = p[3];
    p[0] = uint8_t(p[0] * a / 255);
    p[1] = uint8_t(p[1] * a / 255);
    p[2] = uint8_t(p[2] * a / 255);
}

// The scalar kernels: the reference every other set is checked against.
const PixelKernels& ReferencePixelKernels();

// The SSE2 kernels, or null when this build has no SSE2.
const PixelKernels* Sse2PixelKernels();

#endif
