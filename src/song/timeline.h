// timeline.h - the current line, the window of prepared line strips around it,
// and the singer's trail of the current line.
#ifndef RENDERER_SONG_TIMELINE_H
#define RENDERER_SONG_TIMELINE_H

#include <cstdint>

#include "song/line_strip.h"

class CGDIRendererImpl;

// Moves currentLine to the line being sung at `timeMs`, releases the strips of
// lines that left the window and prepares the missing ones.  False when it
// returned early (after the song's end, or before its start once strips exist).
bool UpdateTimeline(CGDIRendererImpl* renderer, uint32_t timeMs);

// The first strip from the front whose line index is `lineIndex`, or the shared
// not-found record (empty, line index all ones).
const LineStrip& FindStrip(const StripQueue& queue, uint32_t lineIndex);
bool IsNotFound(const LineStrip& strip);

// The same lookup for painting into the strip: null when there is none.
LineStrip* FindStripToPaint(StripQueue* queue, uint32_t lineIndex);

// Releases every strip's bitmap and empties the queue.
void ClearStripQueue(StripQueue* queue);

// Keeps the strips whose line lies in lo..hi (inclusive, unsigned; empty when
// lo > hi), releases the others, and reports the lowest and highest index of the
// window that has no strip (both all ones when none is missing).
void PruneStripQueue(StripQueue* queue, uint32_t lo, uint32_t hi, uint32_t* missingLo, uint32_t* missingHi);

// Empties the five queues in the order SetSong and ClearSong use.
void ClearAllStripQueues(CGDIRendererImpl* renderer);

#endif
