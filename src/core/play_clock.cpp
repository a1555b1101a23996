// play_clock.cpp - the song clock: record updates from the host, ticks in between.
//
// The renderer keeps its own time in playState.timeMs and advances it by the
// elapsed times it is given.  A record update predicts previous + elapsed and keeps
// the prediction unless it is 500 ms or more away from the host's time.  The first
// record after SetSong/ClearSong is adopted without a check; the first tick after
// every record update is skipped.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/float_environment.h"
#include "core/frame_update.h"
#include "base/numeric.h"
#include "core/renderer_impl.h"
#include "platform/platform.h"

namespace {

constexpr int64_t kDriftLimitMs = 500;

// Advances t by s seconds in whole milliseconds, carrying the fractions that the
// truncation drops:  whole = trunc(s * 1000);  msTotal += whole;
// secondsTotal += s (summed in double, stored as float);  t += whole;
// and one more ms when trunc(secondsTotal * 1000) > msTotal.
// Non-finite or negative products convert through the saturating helpers.
uint32_t FloatClockStep(float* secondsTotal, uint32_t* msTotal, uint32_t t, float seconds) {
    const uint32_t whole = uint32_t(SaturatingTruncate(double(seconds) * 1000.0));
    *msTotal += whole;
    *secondsTotal = float(double(*secondsTotal) + double(seconds));
    t += whole;
    if (SaturatingTruncateUnsigned(double(*secondsTotal) * 1000.0) > *msTotal) {
        t += 1;
        *msTotal += 1;
    }
    return t;
}

// A record update: the tick after it is skipped; the first record after the song
// was set or cleared is taken as it is; later ones keep the predicted time unless
// it drifted kDriftLimitMs or more from the host's.  `predict` turns the previous
// time into the prediction.
template <typename Predict>
void RecordUpdate(CGDIRendererImpl* r, const PlayState* state, Predict predict) {
    r->skipNextTick = true;
    if (!r->started) {
        r->started = true;
        if (state) std::memcpy(&r->playState, state, sizeof r->playState);
    } else {
        const uint32_t previous = r->playState.timeMs;
        if (state) std::memcpy(&r->playState, state, sizeof r->playState);
        const uint32_t prediction = predict(previous);
        const int64_t drift = std::llabs(int64_t(int32_t(prediction - r->playState.timeMs)));
        if (drift < kDriftLimitMs)
            r->playState.timeMs = prediction;
        else
            platform::WriteDebugOutput("_getCurTime error.\r\n");
    }
    RunFrameUpdate(r, r->playState.timeMs);
}

// Whether a tick advances the clock: not before the first record, and not right
// after a record (that tick only clears the latch).
bool TickProceeds(CGDIRendererImpl* r) {
    if (!r->started) return false;
    if (r->skipNextTick) {
        r->skipNextTick = false;
        return false;
    }
    return true;
}

}  // namespace

RENDERER_ENTRY void CGDIRendererImpl::UpdateTime(int elapsedMs, PlayState* state) {
    FloatEnvironmentScope floatScope;
    RecordUpdate(this, state, [&](uint32_t previous) { return previous + uint32_t(elapsedMs); });
}

RENDERER_ENTRY void CGDIRendererImpl::UpdateTimeF(float elapsedSeconds, PlayState* state) {
    FloatEnvironmentScope floatScope;
    RecordUpdate(this, state,
                 [&](uint32_t previous) { return FloatClockStep(&secondsTotal, &msTotal, previous, elapsedSeconds); });
}

RENDERER_ENTRY void CGDIRendererImpl::Tick(int elapsedMs) {
    FloatEnvironmentScope floatScope;
    if (!TickProceeds(this)) return;
    playState.timeMs += uint32_t(elapsedMs);
    RunFrameUpdate(this, playState.timeMs);
}

RENDERER_ENTRY void CGDIRendererImpl::TickF(float elapsedSeconds) {
    FloatEnvironmentScope floatScope;
    if (!TickProceeds(this)) return;
    playState.timeMs = FloatClockStep(&secondsTotal, &msTotal, playState.timeMs, elapsedSeconds);
    RunFrameUpdate(this, playState.timeMs);
}
