// renderer_views.h - the members of the renderer that each subsystem works on,
// handed over as small views so that no routine outside the core sees the whole
// object.
#ifndef RENDERER_CORE_RENDERER_VIEWS_H
#define RENDERER_CORE_RENDERER_VIEWS_H

#include "core/renderer_impl.h"
#include "scenes/scenes.h"
#include "scenes/score_display.h"
#include "text/line_strips.h"
#include "window/display_window.h"

// What preparing and painting lines reads.
LineStripInputs StripInputsOf(const CGDIRendererImpl& r);

// The strip queues of `mode` (none for a mode that shows nothing).
ModeStrips StripsOf(CGDIRendererImpl* r, int32_t mode);

// What the scene of `mode` reads.
SceneInputs SceneOf(const CGDIRendererImpl& r, int32_t mode);

ScoreDisplay ScoreOf(CGDIRendererImpl* r);
DisplayWindowState WindowStateOf(CGDIRendererImpl* r);

#endif
