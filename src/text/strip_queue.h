// strip_queue.h - the prepared images of lyric lines and the queues that hold them.
//
// A LineStrip is a surface holding one prepared line image: `x` is its stripX (game
// strips: the line's start on the song's timeline in pixels; lyrics strips: 0),
// `tag` the index of the song line it shows (all ones for the not-found record).
// Beside the surface it keeps where its painted pixels lie, which painting records.
// Each queue owns its strips and keeps them in ascending line order.
#ifndef RENDERER_TEXT_STRIP_QUEUE_H
#define RENDERER_TEXT_STRIP_QUEUE_H

#include <cstdint>
#include <deque>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "song/timeline.h"

// Inked bounds of a strip that was never measured: all of it.
constexpr ImageRect kUnmeasuredInk = {0, 0, INT32_MAX, INT32_MAX};

struct LineStrip : DibSurface {
    // The smallest rectangle holding every pixel whose alpha is not 0, recorded when
    // the strip is painted.  Outside it the strip is transparent: blending that part
    // onto the frame cannot change the finished (premultiplied) frame.
    ImageRect inked = kUnmeasuredInk;
    // A number no other painting of any strip had (NewPaintingNumber), recorded when
    // the strip is painted; 0 for a strip that was not painted.
    uint64_t painting = 0;
};

// A new painting number: 1, 2, 3, ... for the life of the process.
uint64_t NewPaintingNumber();
using StripQueue = std::deque<LineStrip>;

inline uint32_t StripLineIndex(const LineStrip& strip) { return uint32_t(strip.tag); }

// The first strip from the front whose line index is `lineIndex`, or the shared
// not-found record (empty, line index all ones).
const LineStrip& FindStrip(const StripQueue& queue, uint32_t lineIndex);
bool IsNotFound(const LineStrip& strip);

// Puts a strip into the queue after every strip of a lower or equal line, so the
// queue stays in ascending line order (in normal play that is the back).
void InsertStrip(StripQueue* queue, const LineStrip& strip);

// Releases every strip's bitmap and empties the queue.
void ClearStripQueue(StripQueue* queue);

// Keeps the strips whose line lies in the window (inclusive, unsigned; an empty
// window keeps none), releases the others, and returns the lines of the window that
// have no strip, as bits: bit k stands for line window.first + k.  Only the first
// kWindowLines lines of a window are looked at.
uint32_t PruneStripQueue(StripQueue* queue, LineRange window);

#endif
