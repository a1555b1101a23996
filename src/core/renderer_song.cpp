// renderer_song.cpp - SetSong and ClearSong: the song copy, the play and score state,
// the prepared lines and the glyph cache.
#include "core/float_environment.h"
#include "core/renderer_impl.h"

namespace {

void ResetScoreDisplay(CGDIRendererImpl* r) {
    r->scoreValue = 0;
    r->scoreGrade = 0;
    r->scorePhase = 0;
    r->scoreAlpha = 127;
    r->fadeInFrames = 30;
    r->holdFrames = 30;
    r->fadeOutFrames = 20;
}

}  // namespace

RENDERER_ENTRY bool CGDIRendererImpl::SetSong(SongInfo* source) {
    FloatEnvironmentScope floatScope;
    if (!source || !source->lines) return false;
    currentLine = 0;
    ResetScoreDisplay(this);
    pitchTrail.clear();
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
    secondsTotal = 0.0f;
    msTotal = 0;
    return true;
}

RENDERER_ENTRY void CGDIRendererImpl::ClearSong() {
    FloatEnvironmentScope floatScope;
    currentLine = UINT32_MAX;
    ResetScoreDisplay(this);
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
}
