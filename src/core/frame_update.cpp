// frame_update.cpp - the frame update shared by Show and the four time operations.
#include "core/frame_update.h"

#include "core/renderer_impl.h"

void RunFrameUpdate(CGDIRendererImpl* renderer, uint32_t timeMs) {
    (void)renderer;
    (void)timeMs;
}
