// compositing.cpp - CopyPixels, BlendPixels and PremultiplyAlpha: the argument
// checks and row walks, the scalar reference kernels, and the choice of the
// kernel set (made once; RENDERER_PIXEL_PATH=reference forces the reference).
// RotatePixels lives in rotation.cpp, the SSE2 kernels in compositing_sse2.cpp.
#include "imaging/compositing.h"

#include <cstdlib>
#include <cstring>

#include "imaging/compositing_kernels.h"

namespace {

// ---------------------------------------------------------------- reference kernels

void CopyRowReference(uint8_t* d, const uint8_t* s, int64_t count) {
    for (int64_t k = 0; k < count; ++k, d += 4, s += 4) CopyPixel(d, s);
}

void BlendRowReference(uint8_t* d, const uint8_t* s, int64_t count, uint8_t alpha, float m) {
    for (int64_t k = 0; k < count; ++k, d += 4, s += 4) BlendPixel(d, s, alpha, m);
}

void PremultiplyRowReference(uint8_t* p, int64_t count) {
    for (int64_t k = 0; k < count; ++k, p += 4) PremultiplyPixel(p);
}

// The reference computes every pixel; the known premultiplied forms are not needed.
void PremultiplyOverRowReference(uint8_t* p, const uint8_t*, const uint8_t*, int64_t count) {
    PremultiplyRowReference(p, count);
}

const PixelKernels kReferenceKernels = {CopyRowReference, BlendRowReference, PremultiplyRowReference,
                                        PremultiplyOverRowReference};

// ---------------------------------------------------------------- kernel choice

const PixelKernels* g_kernels = nullptr;  // chosen at the first pixel operation

const PixelKernels* FastKernels() {
    const PixelKernels* fast = Sse2PixelKernels();
    return fast ? fast : &kReferenceKernels;
}

// The environment is read once, at the first pixel operation of the process.
const PixelKernels& Kernels() {
    if (!g_kernels) {
        const char* path = std::getenv("RENDERER_PIXEL_PATH");
        g_kernels = (path && std::strcmp(path, "reference") == 0) ? &kReferenceKernels : FastKernels();
    }
    return *g_kernels;
}

// ---------------------------------------------------------------- rectangles

// Whether the bytes written and the bytes read share memory.  The reference walks
// pixel by pixel, so a source overlapping its own destination sees pixels already
// written; wider kernels would not, and such a call takes the reference rows.
bool SpansOverlap(const uint8_t* d, int32_t dStride, const uint8_t* s, int32_t sStride, int64_t rows,
                  int64_t n) {
    if (rows <= 0 || n <= 0) return false;
    auto span = [rows, n](const uint8_t* p, int32_t stride, int64_t* lo, int64_t* hi) {
        const int64_t first = int64_t(reinterpret_cast<uintptr_t>(p));
        const int64_t last = first + (rows - 1) * int64_t(stride);
        *lo = first < last ? first : last;
        *hi = (first < last ? last : first) + n;
    };
    int64_t dLo, dHi, sLo, sHi;
    span(d, dStride, &dLo, &dHi);
    span(s, sStride, &sLo, &sHi);
    return dLo < sHi && sLo < dHi;
}

// The rows of one CopyPixels or BlendPixels call: row i of the destination
// rectangle and of the source rectangle, count pixels each.
struct RowWalk {
    uint8_t* dst;
    int32_t dstStride, dstX, dstY;
    const uint8_t* src;
    int32_t srcStride, srcX, srcY;
    int64_t rows, count;

    uint8_t* DstRow(int64_t i) const { return dst + (int64_t(dstY) + i) * dstStride + int64_t(dstX) * 4; }
    const uint8_t* SrcRow(int64_t i) const { return src + (int64_t(srcY) + i) * srcStride + int64_t(srcX) * 4; }
    // The reference kernels when the source overlaps the destination, else the chosen ones.
    const PixelKernels& Kernels() const {
        if (rows > 0 && SpansOverlap(DstRow(0), dstStride, SrcRow(0), srcStride, rows, count * 4))
            return kReferenceKernels;
        return ::Kernels();
    }
};

}  // namespace

const PixelKernels& ReferencePixelKernels() { return kReferenceKernels; }

PixelPath ActivePixelPath() { return &Kernels() == &kReferenceKernels ? PixelPath::kReference : PixelPath::kFast; }

void SetPixelPath(PixelPath path) { g_kernels = path == PixelPath::kReference ? &kReferenceKernels : FastKernels(); }

bool HasFastPixelPath() { return Sse2PixelKernels() != nullptr; }

// The argument check and the extent shared by CopyPixels and BlendPixels:
//   reject when a position, size or clip limit is negative or a pointer is null;
//   row bytes n = width * 4, cut to dstStride - dstX * 4 at the row's end (reject
//   when that is negative); rows i = 0, 1, ... while i < height and dstY + i < clipHeight.
// 64-bit sums cannot wrap.
bool PixelCallArea(const uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                   int32_t clipHeight, const uint8_t* srcPixels, int32_t srcX, int32_t srcY, int32_t width,
                   int32_t height, PixelArea* area) {
    if (dstX < 0 || dstY < 0 || clipWidth < 0 || clipHeight < 0 || srcX < 0 || srcY < 0 || width < 0 ||
        height < 0 || !dstPixels || !srcPixels)
        return false;
    int64_t n = int64_t(width) * 4;
    if (int64_t(dstX) * 4 + n > dstStride) n = int64_t(dstStride) - int64_t(dstX) * 4;
    if (n < 0) return false;
    const int64_t below = int64_t(clipHeight) - dstY;
    const int64_t rows = below < height ? below : height;
    *area = PixelArea{dstX, dstY, n / 4, rows > 0 ? rows : 0};
    return true;
}

int CopyPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
               int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
               int32_t width, int32_t height) {
    PixelArea a;
    if (!PixelCallArea(dstPixels, dstStride, dstX, dstY, clipWidth, clipHeight, srcPixels, srcX, srcY, width,
                       height, &a))
        return 0;
    const RowWalk w = {dstPixels, dstStride, dstX, dstY, srcPixels, srcStride, srcX, srcY, a.rows, a.columns};
    const PixelKernels& k = w.Kernels();
    for (int64_t i = 0; i < w.rows; ++i) k.copyRow(w.DstRow(i), w.SrcRow(i), w.count);
    return 1;
}

// Straight-alpha "over" with a global opacity m:
//   Cs = m * As / 255          source opacity        (float)
//   B  = Ad / 255              destination opacity   (float)
//   D  = 1 - Cs                                      (double)
//   E  = 1 - (1 - B) * D       resulting opacity     (float)
//   c  = trunc(d * B * D / E + s * Cs / E),  a = trunc(E * 255)
// Everything else is evaluated in double precision, as written.
void BlendPixel(uint8_t* d, const uint8_t* s, uint8_t alpha, float m) {
    const uint8_t ad = d[3];
    const uint8_t as = s[3];
    if (ad == 0) {
        std::memcpy(d, s, 4);
        if (alpha != 255) d[3] = uint8_t(int32_t(double(m) * as));
        return;
    }
    if (as == 0) return;
    const float cs = float(double(m) * as / 255.0);
    const float b = float(ad / 255.0);
    const double dd = 1.0 - double(cs);
    const float e = float(1.0 - (1.0 - double(b)) * dd);
    for (int c = 0; c < 3; ++c) {
        const double v = ((double(d[c]) * double(b)) * dd) / double(e) + (double(s[c]) * double(cs)) / double(e);
        d[c] = uint8_t(int32_t(v));
    }
    d[3] = uint8_t(int32_t(double(e) * 255.0));
}

int BlendPixels(uint8_t* dstPixels, int32_t dstStride, int32_t dstX, int32_t dstY, int32_t clipWidth,
                int32_t clipHeight, const uint8_t* srcPixels, int32_t srcStride, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, uint8_t alpha) {
    PixelArea a;
    if (!PixelCallArea(dstPixels, dstStride, dstX, dstY, clipWidth, clipHeight, srcPixels, srcX, srcY, width,
                       height, &a))
        return 0;
    const float m = float(alpha / 255.0);
    const RowWalk w = {dstPixels, dstStride, dstX, dstY, srcPixels, srcStride, srcX, srcY, a.rows, a.columns};
    const PixelKernels& k = w.Kernels();
    for (int64_t i = 0; i < w.rows; ++i) k.blendRow(w.DstRow(i), w.SrcRow(i), w.count, alpha, m);
    return 1;
}

// c' = floor(c * a / 255) for blue, green and red; alpha stays.
void PremultiplyAlpha(DibSurface* surface) {
    if (!surface || !surface->pixels || surface->width <= 0 || surface->height <= 0) return;
    const PixelKernels& k = Kernels();
    for (int32_t y = 0; y < surface->height; ++y)
        k.premultiplyRow(surface->pixels + int64_t(y) * surface->stride, surface->width);
}

void PremultiplyPixels(uint8_t* pixels, int64_t count) {
    if (pixels && count > 0) Kernels().premultiplyRow(pixels, count);
}

void PremultiplyPixelsOver(uint8_t* pixels, const uint8_t* straight, const uint8_t* premultiplied, int64_t count) {
    if (pixels && straight && premultiplied && count > 0)
        Kernels().premultiplyOverRow(pixels, straight, premultiplied, count);
}
