// scenes.h - composing one frame for each display mode from the prepared strips,
// the skin and the play state, and the pieces of the scenes that tests look at.
#ifndef RENDERER_SCENES_SCENES_H
#define RENDERER_SCENES_SCENES_H

#include <cstdint>

#include "imaging/cursor_frames.h"
#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "renderer.h"
#include "scenes/frame_canvas.h"
#include "scenes/score_display.h"
#include "song/timeline.h"
#include "text/glyph_cache.h"
#include "text/strip_queue.h"

// LineProgress's value for a line that is not to be shown.
constexpr int32_t kNotShown = 0x7FFFFFFF;

// A singer's pitch of this or less (and NaN) means no voice.
constexpr float kSilentPitch = 1e-8f;

// The dark band below the pitch area: black at alpha 0x32, straight alpha.
constexpr uint32_t kBandPixel = 0x32000000u;

// What the scenes read: the song, the prepared strips of the mode, the skin.
struct SceneInputs {
    const SongInfo& song;
    uint32_t currentLine;
    const CGlyphCache* glyphs;
    const RendererLayout& layout;
    int32_t windowWidth;
    const DibSurface& background;  // the mode's background strip (game: with the separator)
    const DibSurface& backgroundPremultiplied;  // the same premultiplied, or empty
    const DibSurface& atlas;       // the skin image
    const ImageRect* images;       // the skin's named images
    const DibSurface& cursorStrip;
    const CursorIndex& cursorIndex;
    const StripQueue& notes;
    const StripQueue& text;  // game: the text; lyrics: the unsung look
    const StripQueue& sung;  // lyrics only
};

// Lyrics mode: background, the shown line's note bars, the singer's trail, the two
// lyric rows with the sung part and the slider, the score display.  False when no
// frame was composed (no current line, no glyph cache, no frame): the frame is
// then left exactly as it was.  `underlay` (may be null) keeps the background with
// the note bars from one frame to the next; its owner releases it with the
// backgrounds.
bool ComposeLyricsFrame(const SceneInputs& in, const PlayState& state, DibSurface* frame, PitchTrail* trail,
                        const ScoreDisplay& score, CanvasUnderlay* underlay = nullptr);

// Game mode: scrolling note and text strips under the time marker, the cursor,
// the score display.  False only when there is no frame to compose into.
bool ComposeGameFrame(const SceneInputs& in, const PlayState& state, DibSurface* frame,
                      const ScoreDisplay& score);

// How far the singing has advanced along a line's text, in pixels: negative during
// the lead-in, kNotShown before the lead-in and after the line.
int32_t LineProgress(const CGlyphCache* glyphs, const RendererLayout& layout, const SongLine& line, uint32_t timeMs);

// Adds the singer's point of this frame to the trail of the current line
// (`frameWidth` is the width the pitch area's margins are measured from).
void AddTrailPoint(const SceneInputs& in, int32_t frameWidth, PitchTrail* trail, TrailPoint point);

// Rows [0, clearEnd) become transparent black, the rows below the dark band.
void ClearFrame(DibSurface* frame, int64_t clearEnd);

// A bar of left cap, repeated middle and right cap blended onto the frame.
void DrawCappedBar(DibSurface* frame, const DibSurface& atlas, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width);
void DrawCappedBar(FrameCanvas* canvas, const DibSurface& atlas, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width);

// The canvas a scene composes `frame` with: the fast way unless the pixel path is
// the reference.
inline bool SceneTakesFastWay() { return ActivePixelPath() == PixelPath::kFast; }

#endif
