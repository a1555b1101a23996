// mappings.h - the pure mappings from song time and pitch to pixels that the strips
// and both scenes share.  Times are unsigned milliseconds; every conversion of a
// float product goes through the saturating helpers, so NaN and infinities from the
// host give defined pixels.
#ifndef RENDERER_BASE_MAPPINGS_H
#define RENDERER_BASE_MAPPINGS_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/numeric.h"

// Game mode's horizontal scale: x = trunc(ms * pixelsPerMs), the time converted
// exactly as an unsigned 32-bit number.
inline int32_t TimeToPixels(uint32_t ms, float pixelsPerMs) {
    return SaturatingTruncate(double(ms) * double(pixelsPerMs));
}

// The height of pitch p in the pitch area, maxPitch at 0 and minPitch at
// pitchAreaHeight - noteHeight:
//   y = trunc((pitchAreaHeight - noteHeight) * (maxPitch - p) / (maxPitch - minPitch))
inline int32_t PitchToY(float pitch, float minPitch, float maxPitch, int32_t pitchAreaHeight, int32_t noteHeight) {
    const double span = double(pitchAreaHeight) - double(noteHeight);
    return SaturatingTruncate(span * (double(maxPitch) - double(pitch)) / (double(maxPitch) - double(minPitch)));
}

// Lyrics mode stretches a line's duration over the S pixels of the pitch area: a
// span of ms milliseconds covers
//   ms * S / duration
// pixels, in unsigned 32-bit arithmetic, the product kept modulo 2^32 and the
// quotient truncated.  A line of no length maps everything to 0.
inline uint32_t StretchToPixels(uint32_t ms, uint32_t S, uint32_t duration) {
    return duration == 0 ? 0 : uint32_t(ms * S) / duration;
}

// The cursor's angle for a singer d pixels below the note (negative: above):
// level within the tolerance; too low turns clockwise by one degree per pixel
// beyond it, up to 30; too high turns counter-clockwise (331 .. 359).
inline int32_t CursorAngle(int64_t d, int32_t tolerance) {
    if (std::llabs(d) <= tolerance) return 0;
    return Clamp32(d > 0 ? std::min<int64_t>(d - tolerance, 30) : std::min<int64_t>(330 - int64_t(tolerance) - d, 359));
}

#endif
