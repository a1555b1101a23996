// layout.h - the layout record's defaults, and the window sizes the renderer takes.
#ifndef RENDERER_CORE_LAYOUT_H
#define RENDERER_CORE_LAYOUT_H

#include <cstdint>

#include "renderer.h"

// The layout a renderer starts with: a 640 x 230 window.
RendererLayout DefaultLayout();

// Largest window side, and largest frame or background strip, that the renderer
// makes: far beyond any screen, and small enough that composing a frame never
// stalls the host's display thread.
constexpr int32_t kMaxWindowSide = 16384;
constexpr int64_t kMaxFrameBytes = int64_t(64) << 20;

// Whether a window of width x height (the height raised to the layout's
// windowHeight, as initialisation does) and the layout's rows can exist: sides of
// 1 to kMaxWindowSide, the frame and each background within kMaxFrameBytes, and
// pitch area and lyric rows no taller than a window side.
bool WindowFits(const RendererLayout& layout, int32_t width, int32_t height);

#endif
