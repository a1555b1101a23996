// scenes.h - composing one frame for each display mode, and what both share.
#ifndef RENDERER_SCENES_SCENES_H
#define RENDERER_SCENES_SCENES_H

#include <cstdint>

#include "imaging/image_rect.h"
#include "renderer.h"
#include "song/line_strip.h"

class CGDIRendererImpl;

// LineProgress's value for a line that is not to be shown.
constexpr int32_t kNotShown = 0x7FFFFFFF;

// Lyrics mode: background, the shown line's note bars, the singer's trail, the two
// lyric rows with the sung part and the slider, the score display.
void ComposeLyricsFrame(CGDIRendererImpl* renderer, const PlayState& state);

// Game mode: scrolling note and text strips under the time marker, the cursor,
// the score display.
void ComposeGameFrame(CGDIRendererImpl* renderer, const PlayState& state);

// The cursor's angle for a singer d pixels below the note (negative: above).
int32_t CursorAngle(int64_t d, int32_t tolerance);

// How far the singing has advanced along a line's text, in pixels: negative during
// the lead-in, kNotShown before the lead-in and after the line.
int32_t LineProgress(const CGDIRendererImpl* renderer, const SongLine& line, uint32_t timeMs);

// Adds the singer's point of this frame to the trail of the current line.
void AddTrailPoint(CGDIRendererImpl* renderer, TrailPoint point);
void DrawTrail(CGDIRendererImpl* renderer);

// A bar of left cap, repeated middle and right cap blended onto the frame.
void DrawCappedBar(CGDIRendererImpl* renderer, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width);

void DrawLyricRow(CGDIRendererImpl* renderer, uint32_t lineIndex, int32_t progress);
void DrawSlider(CGDIRendererImpl* renderer, uint32_t lineIndex, int32_t progress);

// Advances the score display by one frame and draws the number and the grade.
void UpdateScoreDisplay(CGDIRendererImpl* renderer);

// Rows [0, clearEnd) become transparent black; the rows below 0x32000000.
void ClearFrame(CGDIRendererImpl* renderer, int64_t clearEnd);

// Blends a rectangle of `source` onto the frame at (x, y); positions beyond the
// int32 range draw nothing.
void BlendOntoFrame(CGDIRendererImpl* renderer, const uint8_t* sourcePixels, int32_t sourceStride, int64_t x,
                    int64_t y, int64_t srcX, int64_t srcY, int64_t width, int64_t height, uint8_t alpha = 255,
                    int64_t clipHeight = -1);

#endif
