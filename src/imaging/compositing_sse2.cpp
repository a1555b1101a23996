// compositing_sse2.cpp - SSE2 row kernels of CopyPixels, BlendPixels and
// PremultiplyAlpha, four pixels per step, byte for byte the same as the scalar
// reference kernels of compositing.cpp.  The pixels left over at a row's end go
// through the reference's own per-pixel helpers (CopyPixel, BlendPixel,
// PremultiplyPixel).  Loads and stores are unaligned: rows start anywhere.
//
//   CopyRowSse2         d = s, or 0 where the source alpha is 0 (a mask)
//   PremultiplyRowSse2  c' = floor(c * a / 255) in 16-bit lanes
//   PremultiplyOverRowSse2  the same; pixels equal to their known base take the
//                       base's premultiplied form (a compare and a copy)
//   BlendRowSse2        classify four pixels; copies and keeps as masks, the
//                       over operator in single precision with a guard band
#include "imaging/compositing.h"
#include "imaging/compositing_kernels.h"

#if defined(__SSE2__)

#include <emmintrin.h>

// The kernels keep vectors on the stack; a 32-bit Windows caller may only have
// aligned it to 4 bytes.
#if defined(__i386__)
#define SSE2_KERNEL __attribute__((force_align_arg_pointer))
#else
#define SSE2_KERNEL
#endif

namespace {

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
// mask ? a : b, per bit.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}
// One bit per pixel lane whose 32-bit mask is set.
inline int LaneBits(__m128i mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)); }

// ---------------------------------------------------------------- CopyPixels

// d = (s.alpha != 0) ? s : 0, four pixels.
inline void CopyFour(uint8_t* d, const uint8_t* s) {
    const __m128i v = Load(s);
    const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(v, _mm_set1_epi32(int32_t(0xFF000000u))),
                                                 _mm_setzero_si128());
    Store(d, _mm_andnot_si128(transparent, v));
}

SSE2_KERNEL void CopyRowSse2(uint8_t* d, const uint8_t* s, int64_t count) {
    int64_t k = 0;
    for (; k + 8 <= count; k += 8) {
        CopyFour(d + k * 4, s + k * 4);
        CopyFour(d + k * 4 + 16, s + k * 4 + 16);
    }
    for (; k + 4 <= count; k += 4) CopyFour(d + k * 4, s + k * 4);
    for (; k < count; ++k) CopyPixel(d + k * 4, s + k * 4);
}

// ---------------------------------------------------------------- PremultiplyAlpha

// Four pixels that all keep their bytes: alpha 255 (c * 255 / 255 = c) or
// colour 0 (0 * a / 255 = 0).
inline bool PremultiplyLeavesFour(__m128i v) {
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i opaque = _mm_cmpeq_epi32(_mm_or_si128(v, colour), _mm_set1_epi32(-1));
    const __m128i black = _mm_cmpeq_epi32(_mm_and_si128(v, colour), _mm_setzero_si128());
    return LaneBits(_mm_or_si128(opaque, black)) == 0xF;
}

// Two pixels widened to 16-bit lanes (b g r a b g r a), each lane times its
// pixel's alpha, then an exact division by 255:
//   x / 255 = (x + 1 + (x >> 8)) >> 8   for 0 <= x <= 255 * 255,
// and no sum exceeds 65025 + 1 + 254 < 65536.  (The alpha lanes are put back
// afterwards.)
inline __m128i PremultiplyTwo(__m128i words) {
    const __m128i factor = _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, 0xFF), 0xFF);
    const __m128i x = _mm_mullo_epi16(words, factor);
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8));
    return _mm_srli_epi16(sum, 8);
}

// Four pixels premultiplied, alpha kept.
inline __m128i PremultipliedFour(__m128i v) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = PremultiplyTwo(_mm_unpacklo_epi8(v, zero));
    const __m128i hi = PremultiplyTwo(_mm_unpackhi_epi8(v, zero));
    return Select(_mm_set1_epi32(int32_t(0xFF000000u)), v, _mm_packus_epi16(lo, hi));
}

inline void PremultiplyFour(uint8_t* p) {
    const __m128i v = Load(p);
    if (PremultiplyLeavesFour(v)) return;
    Store(p, PremultipliedFour(v));
}

// Sixteen pixels that all keep their bytes because all are black (transparent
// areas, the translucent band) or all are opaque; a cheaper test than four
// PremultiplyLeavesFour, for the long runs of such pixels a frame has.
inline bool PremultiplyLeavesSixteen(const uint8_t* p) {
    const __m128i v0 = Load(p), v1 = Load(p + 16), v2 = Load(p + 32), v3 = Load(p + 48);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i any = _mm_and_si128(_mm_or_si128(_mm_or_si128(v0, v1), _mm_or_si128(v2, v3)), colour);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF) return true;
    const __m128i all = _mm_or_si128(_mm_and_si128(_mm_and_si128(v0, v1), _mm_and_si128(v2, v3)), colour);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(all, _mm_set1_epi32(-1))) == 0xFFFF;
}

SSE2_KERNEL void PremultiplyRowSse2(uint8_t* p, int64_t count) {
    int64_t k = 0;
    for (; k + 16 <= count; k += 16) {
        if (PremultiplyLeavesSixteen(p + k * 4)) continue;
        for (int j = 0; j < 16; j += 4) PremultiplyFour(p + (k + j) * 4);
    }
    for (; k + 4 <= count; k += 4) PremultiplyFour(p + k * 4);
    for (; k < count; ++k) PremultiplyPixel(p + k * 4);
}

// Pixels over a known base: where a pixel equals its straight base pixel, its
// premultiplied form is the base's premultiplied pixel, which the caller holds.
//   p = (p == straight) ? premultiplied : floor(p.c * p.a / 255)
inline void PremultiplyOverFour(uint8_t* p, const uint8_t* straight, const uint8_t* premultiplied) {
    const __m128i v = Load(p);
    const __m128i same = _mm_cmpeq_epi32(v, Load(straight));
    const int bits = LaneBits(same);
    if (bits == 0xF) {
        Store(p, Load(premultiplied));
    } else if (bits == 0) {
        if (!PremultiplyLeavesFour(v)) Store(p, PremultipliedFour(v));
    } else {
        Store(p, Select(same, Load(premultiplied), PremultipliedFour(v)));
    }
}

SSE2_KERNEL void PremultiplyOverRowSse2(uint8_t* p, const uint8_t* straight, const uint8_t* premultiplied,
                                        int64_t count) {
    int64_t k = 0;
    for (; k + 4 <= count; k += 4) PremultiplyOverFour(p + k * 4, straight + k * 4, premultiplied + k * 4);
    for (; k < count; ++k) PremultiplyPixel(p + k * 4);
}

// ---------------------------------------------------------------- BlendPixels
//
// The reference, per pixel (As, Ad the alphas, m = float(alpha / 255)):
//   Ad = 0            d = s, and if alpha != 255 its alpha = trunc(m * As)
//   As = 0            d unchanged
//   otherwise         Cs = float(m * As / 255), B = float(Ad / 255), D = 1 - Cs,
//                     E = float(1 - (1 - B) * D),
//                     c = trunc(d * B * D / E + s * Cs / E)   (double)
//                     a = trunc(E * 255)                      (double)
//
// Four pixels at a time, classified by their alphas:
//   * As = 0 everywhere: nothing changes, except where Ad = 0 (the source's
//     bytes are copied, its alpha being 0 whatever the opacity).
//   * Copies: Ad = 0; and at alpha 255, As = 255 (Cs = 1, D = 0, E = 1: the
//     formula gives exactly s and 255).
//   * The rest (the "formula lanes") are computed as below.
//
// Exactness of the formula lanes.
//   Cs, B and E are the reference's own values, bit for bit:
//   - B = float(Ad / 255.0) equals the single-precision quotient Ad / 255f.
//     Rounding first to double can only change the float result if the double
//     landed exactly on a midpoint between two floats while Ad / 255 did not.
//     Ad / 255 (1 <= Ad <= 254) lies in [2^-8, 1), where floats are multiples
//     of 2^-31 and their midpoints multiples of 2^-32; it is not a dyadic
//     fraction, so it differs from every midpoint M / 2^32 by at least
//     1 / (255 * 2^32) > 2^-40, far more than half a double ulp (<= 2^-54): the
//     double stays on the same side of every midpoint.  Ad = 255 gives 1 in both.  The same holds for Cs = float(As / 255.0) at alpha 255 (m = 1).
//   - At other opacities Cs is computed as the reference does, in double lanes:
//     float((double(m) * As) / 255.0); double(m) * As is exact.
//   - E = float(1 - (1 - B) * D) is evaluated in double lanes with the same
//     operations in the same order, so it is the same value; so is
//     a = trunc(double(E) * 255) (exact product, truncating conversion).
//   The colour, c = trunc(R) with R = (d * B * D + s * Cs) / E in real numbers
//   for the exact Cs, B, E, is evaluated in single precision:
//     w1 = B * float(1 - Cs) * (1 / E),  w2 = Cs * (1 / E),  f = d * w1 + s * w2,
//   eight roundings of relative size <= u = 2^-24 each, at most six on one path,
//   on non-negative terms, so |f - R| <= ((1 + u)^6 - 1) * R.  And
//   R <= 255 * (B * D + Cs) / E = 255 * E_exact / E with E_exact = 1 - (1 - B) * D,
//   E its rounding (relative error < 2^-23), so R < 255.001 and
//   |f - R| < 6.01 * 2^-24 * 255.001 < 9.2e-5.  The reference's double evaluation
//   (four roundings of 2^-53) lies within 1e-13 of R.  The lane is accepted when
//   n = trunc(f - kGuard) = trunc(f + kGuard), kGuard = 2^-12 (the sum and the
//   difference are rounded by at most 2^-24 * 256 < 1.6e-5, leaving a band of
//   more than 2.2e-4 > 9.2e-5 on either side): then either f - kGuard >= 0 and
//   R and the reference lie strictly between n and n + 1, or n = 0 with
//   f < 1 - kGuard, and the reference lies in [0, 1) (no term is negative).
//   Either way trunc(reference) = n.  Lanes where the two differ are recomputed in double lanes with the reference's operations in
//   the reference's order (the same IEEE results); for random colours that is
//   about one pixel in 700, for a pixel blended over its own colour (R close to
//   that colour) it is every such pixel.
//   At opacity 0 (m = 0, Cs = 0, D = 1) the reference gives E = B and
//   d * B / B = d exactly: the colour stays and only the alpha is computed.

constexpr float kGuard = 1.0f / 4096.0f;

enum Opacity { kOpacityZero, kOpacityPartial, kOpacityFull };

// The two pixels of the low and of the high half of four float lanes, as doubles.
inline __m128d LowHalf(__m128 v) { return _mm_cvtps_pd(v); }
inline __m128d HighHalf(__m128 v) { return _mm_cvtps_pd(_mm_movehl_ps(v, v)); }
inline __m128d LowHalf(__m128i v) { return _mm_cvtepi32_pd(v); }
inline __m128d HighHalf(__m128i v) { return _mm_cvtepi32_pd(_mm_shuffle_epi32(v, _MM_SHUFFLE(3, 2, 3, 2))); }
inline __m128 Join(__m128d lo, __m128d hi) { return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi)); }
inline __m128i JoinTruncated(__m128d lo, __m128d hi) {
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

// Channel kShift (0 blue, 8 green, 16 red) of four pixels, as floats.
template <int kShift>
inline __m128 Channel(__m128i v) {
    return _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(v, kShift), _mm_set1_epi32(0xFF)));
}

// Colour channel kShift of the formula lanes: f = d * w1 + s * w2, truncated and
// put in place.  Lanes where trunc(f - kGuard) and trunc(f + kGuard) differ (f
// in the guard band around a positive integer) are added to *near; elsewhere
// both equal trunc(f).  Below 1 both truncate to 0, as the reference does.
template <int kShift>
inline __m128i BlendChannel(__m128i dv, __m128i sv, __m128 w1, __m128 w2, __m128i* near) {
    const __m128 f = _mm_add_ps(_mm_mul_ps(Channel<kShift>(dv), w1), _mm_mul_ps(Channel<kShift>(sv), w2));
    const __m128i low = _mm_cvttps_epi32(_mm_sub_ps(f, _mm_set1_ps(kGuard)));
    const __m128i high = _mm_cvttps_epi32(_mm_add_ps(f, _mm_set1_ps(kGuard)));
    *near = _mm_or_si128(*near, _mm_andnot_si128(_mm_cmpeq_epi32(low, high), _mm_set1_epi32(-1)));
    return _mm_slli_epi32(high, kShift);
}

// B, Cs, D = 1 - Cs and E of two pixels as the reference holds them (doubles).
struct ExactTerms {
    __m128d b, cs, dd, e;
};

// Colour channel kShift of four pixels the reference's way, operation for
// operation: trunc(((d * B) * D) / E + (s * Cs) / E) in double precision.
template <int kShift>
inline __m128i ExactChannel(__m128i dv, __m128i sv, const ExactTerms& lo, const ExactTerms& hi) {
    const __m128i mask = _mm_set1_epi32(0xFF);
    const __m128i dc = _mm_and_si128(_mm_srli_epi32(dv, kShift), mask);
    const __m128i sc = _mm_and_si128(_mm_srli_epi32(sv, kShift), mask);
    auto half = [](__m128d d, __m128d s, const ExactTerms& t) {
        return _mm_add_pd(_mm_div_pd(_mm_mul_pd(_mm_mul_pd(d, t.b), t.dd), t.e),
                          _mm_div_pd(_mm_mul_pd(s, t.cs), t.e));
    };
    const __m128i n = JoinTruncated(half(LowHalf(dc), LowHalf(sc), lo), half(HighHalf(dc), HighHalf(sc), hi));
    return _mm_slli_epi32(n, kShift);
}

// Four pixels of any kind; dv and sv are the destination's and the source's.
template <Opacity kOpacity>
__attribute__((noinline)) void BlendFourMixed(uint8_t* d, __m128i dv, __m128i sv, float m) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i as = _mm_srli_epi32(sv, 24), ad = _mm_srli_epi32(dv, 24);
    const __m128i asZero = _mm_cmpeq_epi32(as, zero), adZero = _mm_cmpeq_epi32(ad, zero);

    // Source opacity and copies.  Away from full opacity a copy takes the alpha
    // trunc(m * As), from the exact double product that Cs also starts from.
    __m128i copyMask = adZero, copied = sv;
    __m128 cs = _mm_setzero_ps();
    if (kOpacity == kOpacityFull) {
        copyMask = _mm_or_si128(adZero, _mm_cmpeq_epi32(as, _mm_set1_epi32(255)));
        cs = _mm_div_ps(_mm_cvtepi32_ps(as), _mm_set1_ps(255.0f));
    } else if (kOpacity == kOpacityPartial) {
        const __m128d md = _mm_set1_pd(double(m));
        const __m128d productLo = _mm_mul_pd(LowHalf(as), md), productHi = _mm_mul_pd(HighHalf(as), md);
        const __m128i scaled = JoinTruncated(productLo, productHi);
        copied = _mm_or_si128(_mm_and_si128(sv, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(scaled, 24));
        const __m128d k255 = _mm_set1_pd(255.0);
        cs = Join(_mm_div_pd(productLo, k255), _mm_div_pd(productHi, k255));
    } else {
        copied = _mm_and_si128(sv, _mm_set1_epi32(0x00FFFFFF));  // trunc(0 * As) = 0
    }
    const __m128i formula = _mm_andnot_si128(_mm_or_si128(copyMask, asZero), _mm_set1_epi32(-1));
    __m128i result = Select(copyMask, copied, dv);
    if (LaneBits(formula) == 0) {
        Store(d, result);
        return;
    }

    // B and E exactly as the reference; E = 1 in the other lanes keeps them finite.
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 b = _mm_div_ps(_mm_cvtepi32_ps(ad), _mm_set1_ps(255.0f));
    const __m128d oneD = _mm_set1_pd(1.0);
    const __m128d eLo = _mm_sub_pd(oneD, _mm_mul_pd(_mm_sub_pd(oneD, LowHalf(b)), _mm_sub_pd(oneD, LowHalf(cs))));
    const __m128d eHi = _mm_sub_pd(oneD, _mm_mul_pd(_mm_sub_pd(oneD, HighHalf(b)), _mm_sub_pd(oneD, HighHalf(cs))));
    const __m128 e = _mm_or_ps(_mm_and_ps(_mm_castsi128_ps(formula), Join(eLo, eHi)),
                               _mm_andnot_ps(_mm_castsi128_ps(formula), one));
    const __m128d k255 = _mm_set1_pd(255.0);
    const __m128i alphaOut = JoinTruncated(_mm_mul_pd(LowHalf(e), k255), _mm_mul_pd(HighHalf(e), k255));

    __m128i near = zero, blended;  // near: formula lanes within the guard band
    if (kOpacity == kOpacityZero) {
        blended = _mm_and_si128(dv, _mm_set1_epi32(0x00FFFFFF));
    } else {
        const __m128 inv = _mm_div_ps(one, e);
        const __m128 w1 = _mm_mul_ps(_mm_mul_ps(b, _mm_sub_ps(one, cs)), inv);  // B * D / E
        const __m128 w2 = _mm_mul_ps(cs, inv);                                 // Cs / E
        blended = BlendChannel<0>(dv, sv, w1, w2, &near);
        blended = _mm_or_si128(blended, BlendChannel<8>(dv, sv, w1, w2, &near));
        blended = _mm_or_si128(blended, BlendChannel<16>(dv, sv, w1, w2, &near));
        near = _mm_and_si128(near, formula);
    }
    blended = _mm_or_si128(blended, _mm_slli_epi32(alphaOut, 24));
    if (LaneBits(near)) {
        // Lanes in the guard band take the reference's colour, in double lanes.
        const __m128d bLo = LowHalf(b), bHi = HighHalf(b), csLo = LowHalf(cs), csHi = HighHalf(cs);
        const ExactTerms lo = {bLo, csLo, _mm_sub_pd(oneD, csLo), LowHalf(e)};
        const ExactTerms hi = {bHi, csHi, _mm_sub_pd(oneD, csHi), HighHalf(e)};
        __m128i exact = ExactChannel<0>(dv, sv, lo, hi);
        exact = _mm_or_si128(exact, ExactChannel<8>(dv, sv, lo, hi));
        exact = _mm_or_si128(exact, ExactChannel<16>(dv, sv, lo, hi));
        blended = Select(near, _mm_or_si128(exact, _mm_slli_epi32(alphaOut, 24)), blended);
    }
    Store(d, Select(formula, blended, result));
}

// Sixteen pixels that all stay as they are: every source pixel transparent and
// no destination pixel transparent (the transparent margins of the strips).
inline bool BlendLeavesSixteen(const uint8_t* d, const uint8_t* s) {
    const __m128i alphaBits = _mm_set1_epi32(int32_t(0xFF000000u)), zero = _mm_setzero_si128();
    const __m128i sourceAlpha =
        _mm_and_si128(_mm_or_si128(_mm_or_si128(Load(s), Load(s + 16)), _mm_or_si128(Load(s + 32), Load(s + 48))),
                      alphaBits);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(sourceAlpha, zero)) != 0xFFFF) return false;
    const __m128i t0 = _mm_cmpeq_epi32(_mm_and_si128(Load(d), alphaBits), zero);
    const __m128i t1 = _mm_cmpeq_epi32(_mm_and_si128(Load(d + 16), alphaBits), zero);
    const __m128i t2 = _mm_cmpeq_epi32(_mm_and_si128(Load(d + 32), alphaBits), zero);
    const __m128i t3 = _mm_cmpeq_epi32(_mm_and_si128(Load(d + 48), alphaBits), zero);
    return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(t0, t1), _mm_or_si128(t2, t3))) == 0;
}

// Four pixels: the cheap cases here, in the loop; the others in BlendFourMixed.
template <Opacity kOpacity>
inline __attribute__((always_inline)) void BlendFour(uint8_t* d, const uint8_t* s, float m) {
    const __m128i dv = Load(d), sv = Load(s);
    const __m128i alphaBits = _mm_set1_epi32(int32_t(0xFF000000u)), zero = _mm_setzero_si128();
    const __m128i asZero = _mm_cmpeq_epi32(_mm_and_si128(sv, alphaBits), zero);
    const __m128i adZero = _mm_cmpeq_epi32(_mm_and_si128(dv, alphaBits), zero);
    if (LaneBits(asZero) == 0xF) {  // a transparent source leaves the destination, or lands on a transparent one
        if (LaneBits(adZero)) Store(d, Select(adZero, sv, dv));
        return;
    }
    if (kOpacity == kOpacityFull) {  // only copies and transparent source pixels
        const __m128i opaque = _mm_cmpeq_epi32(_mm_or_si128(sv, _mm_set1_epi32(0x00FFFFFF)), _mm_set1_epi32(-1));
        const __m128i copy = _mm_or_si128(adZero, opaque);
        if (LaneBits(_mm_or_si128(copy, asZero)) == 0xF) {
            Store(d, Select(copy, sv, dv));
            return;
        }
    }
    BlendFourMixed<kOpacity>(d, dv, sv, m);
}

template <Opacity kOpacity>
inline void BlendRow(uint8_t* d, const uint8_t* s, int64_t count, uint8_t alpha, float m) {
    int64_t k = 0;
    for (; k + 16 <= count; k += 16) {
        if (BlendLeavesSixteen(d + k * 4, s + k * 4)) continue;
        for (int j = 0; j < 16; j += 4) BlendFour<kOpacity>(d + (k + j) * 4, s + (k + j) * 4, m);
    }
    for (; k + 4 <= count; k += 4) BlendFour<kOpacity>(d + k * 4, s + k * 4, m);
    for (; k < count; ++k) BlendPixel(d + k * 4, s + k * 4, alpha, m);
}

SSE2_KERNEL void BlendRowSse2(uint8_t* d, const uint8_t* s, int64_t count, uint8_t alpha, float m) {
    if (alpha == 255)
        BlendRow<kOpacityFull>(d, s, count, alpha, m);
    else if (alpha == 0)
        BlendRow<kOpacityZero>(d, s, count, alpha, m);
    else
        BlendRow<kOpacityPartial>(d, s, count, alpha, m);
}

const PixelKernels kSse2Kernels = {CopyRowSse2, BlendRowSse2, PremultiplyRowSse2, PremultiplyOverRowSse2};

}  // namespace

const PixelKernels* Sse2PixelKernels() { return &kSse2Kernels; }

#else

const PixelKernels* Sse2PixelKernels() { return nullptr; }

#endif
