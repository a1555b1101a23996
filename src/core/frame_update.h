// frame_update.h - one frame update: the timeline for a time, then the scene of the mode.
#ifndef RENDERER_CORE_FRAME_UPDATE_H
#define RENDERER_CORE_FRAME_UPDATE_H

#include <cstdint>

class CGDIRendererImpl;

// Runs the timeline for `timeMs` and composes the frame for the current mode
// (1 game, 0 lyrics, anything else: nothing).  Never presents.
void RunFrameUpdate(CGDIRendererImpl* renderer, uint32_t timeMs);

#endif
