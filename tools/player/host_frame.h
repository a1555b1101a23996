// host_frame.h - one frame of a karaoke host's playback loop, shared by the native
// player and the Win32 demo host so that both make exactly the same calls: a
// progress record every fourth frame (with the simulated singer's pitch), a tick
// in between, and a score whenever another line has ended.  Present is the caller's.
#ifndef RENDERER_TOOLS_HOST_FRAME_H
#define RENDERER_TOOLS_HOST_FRAME_H

#include <cstdint>

#include "renderer.h"
#include "singer.h"

inline void HostFrame(IRenderer* r, Singer* singer, uint32_t frame, uint32_t timeMs, int elapsedMs,
                      uint32_t* lastScoredLine) {
    if (frame % 4 == 0) {
        PlayState state = {};
        state.timeMs = timeMs;
        state.pitch = singer->PitchAt(timeMs);
        r->UpdateTime(elapsedMs, &state);
    } else {
        r->Tick(elapsedMs);
    }
    const uint32_t ended = singer->LineEndedBefore(timeMs);
    if (ended != UINT32_MAX && ended != *lastScoredLine) {
        *lastScoredLine = ended;
        ScoreInfo score = {0, float(singer->Score()), singer->Grade(ended)};
        r->SetScore(&score);
    }
}

#endif
