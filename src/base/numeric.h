// numeric.h - conversions of host-supplied floating-point values to integers, and
// the clamps that keep 64-bit intermediate results inside the 32-bit fields.
//
// Converting NaN, infinity or an out-of-range value to an integer is undefined in
// C++; values from the host can be anything, so they go through these helpers.
#ifndef RENDERER_BASE_NUMERIC_H
#define RENDERER_BASE_NUMERIC_H

#include <cmath>
#include <cstdint>

// Truncates toward zero; NaN gives 0, values beyond the int32 range saturate.
inline int32_t SaturatingTruncate(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

// Truncates toward zero into uint32; NaN and negative values give 0, large values saturate.
inline uint32_t SaturatingTruncateUnsigned(double v) {
    if (std::isnan(v) || v <= 0.0) return 0;
    if (v >= 4294967295.0) return UINT32_MAX;
    return uint32_t(v);
}

// The int32 nearest to v.
inline int32_t Clamp32(int64_t v) { return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : int32_t(v); }

inline bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

#endif
