// line_strips.h - creating and painting the prepared images of lyric lines: per line
// a pitch-bar strip and text strips, in the layout of the display mode.
//
// Strip sizes of line i (lineIndex i, y 0):
//   game    notes   pitchAreaHeight x (trunc((end - start) * pixelsPerMs) + 50), stripX trunc(start * pixelsPerMs)
//   game    text    lyricRowHeight  x the same,                                   the same stripX
//   lyrics  notes   pitchAreaHeight x (windowWidth - pitchAreaRight - pitchAreaLeft), stripX 0
//   lyrics  unsung  lyricRowHeight  x MeasureLineText (the unsung look)
//   lyrics  sung    lyricRowHeight  x MeasureLineText (the sung look, the same places)
#ifndef RENDERER_TEXT_LINE_STRIPS_H
#define RENDERER_TEXT_LINE_STRIPS_H

#include <cstdint>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "renderer.h"
#include "text/glyph_cache.h"
#include "text/strip_queue.h"

// Largest pixel buffer of one line strip.  A line whose strip would be larger (a
// line lasting hours at a large scale) gets no strip; the refusal is decided by
// arithmetic alone, so asking again every frame costs no allocation.
constexpr int64_t kMaxStripBytes = int64_t(64) << 20;

// What preparing a line reads.
struct LineStripInputs {
    const SongInfo& song;
    const RendererLayout& layout;
    int32_t windowWidth;
    const CGlyphCache* glyphs;  // null: no text
    const DibSurface& atlas;    // the skin image, source of the bar pieces
    const ImageRect* images;    // the skin's named images
};

// The kinds of strip a line has: its bars, its text (game mode; in lyrics mode the
// unsung look) and, in lyrics mode, the sung look.
enum StripKind : int { kNoteStrip = 0, kTextStrip = 1, kSungStrip = 2, kStripKinds = 3 };

// The queues a mode keeps, by kind, in the order they are pruned and filled; a
// kind the mode does not have is null.
struct ModeStrips {
    int32_t mode;
    StripQueue* queues[kStripKinds];
};

// Whether every queue of the mode holds at least one strip (false for a mode
// that keeps none).
bool ModeStripsPrepared(const ModeStrips& strips);

// For lines first..last (last clamped to the song), makes and paints the strips
// that each queue of the mode lacks.  A strip that cannot be made is left out and
// asked for again next time.
void PrepareLines(const LineStripInputs& in, const ModeStrips& strips, uint32_t first, uint32_t last);

// Keeps the strips of the mode's queues that lie in `window`, releases the others,
// and prepares the lines of the window that a queue lacks.  Each queue is judged
// by itself, so a strip one queue cannot hold never makes the others grow.
void KeepWindowPrepared(const LineStripInputs& in, const ModeStrips& strips, LineRange window);

// The width of a line's text in lyrics mode: its glyph widths plus syllableGap per word.
int32_t MeasureLineText(const CGlyphCache* glyphs, int32_t syllableGap, const SongLine& line);

// Clears `strip` and paints line's text into it from `atlas`: in game mode each
// word starts at its own time (or right after the previous word), in lyrics mode
// words follow each other with syllableGap between them.  Records the inked bounds
// and a new painting number.
void PaintTextStrip(const LineStripInputs& in, int32_t mode, const SongLine& line, const DibSurface& atlas,
                    LineStrip* strip);

#endif
