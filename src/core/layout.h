// layout.h - the layout record's defaults.
#ifndef RENDERER_CORE_LAYOUT_H
#define RENDERER_CORE_LAYOUT_H

#include "renderer.h"

// The layout a renderer starts with, in field order.
RendererLayout DefaultLayout();

#endif
