// line_strips.h - creating and painting the prepared images of lyric lines.
#ifndef RENDERER_TEXT_LINE_STRIPS_H
#define RENDERER_TEXT_LINE_STRIPS_H

#include <cstdint>

#include "renderer.h"
#include "song/line_strip.h"

class CGDIRendererImpl;

// Largest pixel buffer of one line strip.  A line whose strip would be larger (a
// line lasting hours at a large scale) gets no strip; the refusal is decided by
// arithmetic alone, so retrying it every frame costs no allocation.
constexpr int64_t kMaxStripBytes = int64_t(64) << 20;

// Game mode: for lines first..last (last clamped to the song), a note strip and a
// text strip on the song's timeline scale, appended to gameNoteStrips/gameTextStrips.
void PrepareGameLines(CGDIRendererImpl* renderer, uint32_t first, uint32_t last);

// Lyrics mode: for lines first..last, a note strip as wide as the pitch area and
// two text strips (unsung, sung) as wide as the line's text.
void PrepareLyricsLines(CGDIRendererImpl* renderer, uint32_t first, uint32_t last);

// The width of a line's text in lyrics mode: glyph widths plus syllableGap per word.
int32_t MeasureLineText(const CGDIRendererImpl* renderer, const SongLine& line);

// Clears and paints the text strips of lines first..last found in `queue` from `atlas`.
void PaintTextStrips(CGDIRendererImpl* renderer, uint32_t first, uint32_t last, StripQueue* queue,
                     const DibSurface& atlas);

// trunc(ms * pixelsPerMs) with the time converted exactly; saturating, NaN gives 0.
int32_t TimeToPixels(uint32_t ms, float pixelsPerMs);

#endif
