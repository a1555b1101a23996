// frame_update.cpp - the frame update shared by Show and the four time operations.
#include "core/frame_update.h"

#include "core/renderer_impl.h"
#include "scenes/scenes.h"
#include "song/timeline.h"

void RunFrameUpdate(CGDIRendererImpl* renderer, uint32_t timeMs) {
    UpdateTimeline(renderer, timeMs);  // its result does not decide whether a frame is composed
    if (renderer->mode == 1)
        ComposeGameFrame(renderer, renderer->playState);
    else if (renderer->mode == 0)
        ComposeLyricsFrame(renderer, renderer->playState);
}
