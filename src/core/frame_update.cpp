// frame_update.cpp - the frame update shared by Show and the four time operations.
#include "core/frame_update.h"

#include "core/renderer_views.h"
#include "song/timeline.h"

bool UpdateTimeline(CGDIRendererImpl* r, uint32_t time) {
    const ModeStrips strips = StripsOf(r, r->mode);
    if (!TimelineHasWork(r->song, time, ModeStripsPrepared(strips))) return false;
    AdvanceCurrentLine(r->song, time, &r->currentLine, &r->pitchTrail);
    KeepWindowPrepared(StripInputsOf(*r), strips, WantedLines(r->mode, r->currentLine));
    return true;
}

void PrepareModeLines(CGDIRendererImpl* r, uint32_t first, uint32_t last) {
    PrepareLines(StripInputsOf(*r), StripsOf(r, r->mode), first, last);
}

void ComposeFrame(CGDIRendererImpl* r) {
    bool composed = false;
    if (r->mode == kGameMode)
        composed = ComposeGameFrame(SceneOf(*r, kGameMode), r->playState, &r->frame, ScoreOf(r));
    else if (r->mode == kLyricsMode)
        composed = ComposeLyricsFrame(SceneOf(*r, kLyricsMode), r->playState, &r->frame, &r->pitchTrail, ScoreOf(r),
                                      &r->lyricsUnderlay);
    if (composed) ++r->framesThisSecond;
}

void RunFrameUpdate(CGDIRendererImpl* r, uint32_t timeMs) {
    UpdateTimeline(r, timeMs);  // its result does not decide whether a frame is composed
    ComposeFrame(r);
}
