// frame_update.h - one frame update, the core calling each step in order: the
// timeline decides which lines are wanted, the strips keep and prepare them, the
// scene of the mode composes the frame.  Presenting is separate.
#ifndef RENDERER_CORE_FRAME_UPDATE_H
#define RENDERER_CORE_FRAME_UPDATE_H

#include <cstdint>

class CGDIRendererImpl;

// Moves the current line to `timeMs`, keeps the strips of the lines around it and
// prepares those missing.  False when there was nothing to do (after the song's
// end, or before its start once the first lines are prepared).
bool UpdateTimeline(CGDIRendererImpl* renderer, uint32_t timeMs);

// Prepares lines first..last for the current mode (what a queue lacks).
void PrepareModeLines(CGDIRendererImpl* renderer, uint32_t first, uint32_t last);

// Composes the frame of the current mode from the renderer's play state and
// counts it (game 1, lyrics 0; any other mode composes nothing).
void ComposeFrame(CGDIRendererImpl* renderer);

// Releases every prepared strip of both modes.
void ClearAllStripQueues(CGDIRendererImpl* renderer);

// The timeline for `timeMs`, then the frame; never presents.
void RunFrameUpdate(CGDIRendererImpl* renderer, uint32_t timeMs);

#endif
