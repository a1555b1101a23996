// timeline.h - which lines are wanted now: the current line for a play time, the
// window of lines around it whose images should be prepared, and the singer's trail
// of the current line, which the timeline empties whenever that line changes.
//
// The timeline only decides; the strip queues (text/strip_queue.h) keep the
// prepared images and report which of the wanted lines they lack.
#ifndef RENDERER_SONG_TIMELINE_H
#define RENDERER_SONG_TIMELINE_H

#include <cstdint>
#include <vector>

#include "renderer.h"

// The display modes a host may choose; any other value shows nothing.
enum DisplayMode : int32_t {
    kLyricsMode = 0,
    kGameMode = 1,
};

// One point of the singer's trail over the current line, in frame pixels; y is the
// top of the bar drawn there.  Two neighbouring points of equal height form a run
// unless the singer fell silent between them (`silenceAfter` on the first).
struct TrailPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool onPitch = false;
    bool silenceAfter = false;
};
using PitchTrail = std::vector<TrailPoint>;

// A range of line indices, first to last inclusive, unsigned; empty when first > last.
struct LineRange {
    uint32_t first = 1;
    uint32_t last = 0;
    bool Empty() const { return first > last; }
};

// How many lines a mode keeps prepared: the window's size.
constexpr uint32_t kWindowLines = 4;

// Whether the timeline has work at `time`: none after the song's end, and none
// before its start once the mode's first lines are prepared (`prepared`).
bool TimelineHasWork(const SongInfo& song, uint32_t time, bool prepared);

// Moves `currentLine` forward to the line being sung at `time`.  Lines that are
// over are passed (and empty the trail); in a pause the current line stays on the
// line that has ended; the trail is emptied whenever the current line changes.
void AdvanceCurrentLine(const SongInfo& song, uint32_t time, uint32_t* currentLine, PitchTrail* trail);

// The lines a mode keeps prepared around the current one (unsigned, wrapping):
// game mode the previous, the current and the next two; lyrics mode the current
// and the next three; other modes none.
LineRange WantedLines(int32_t mode, uint32_t currentLine);

#endif
