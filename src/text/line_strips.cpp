// line_strips.cpp - PrepareGameLines, PrepareLyricsLines and MeasureLineText.
//
// Strip sizes of line i (lineIndex i, y 0):
//   game    note  pitchAreaHeight x (trunc((end - start) * pixelsPerMs) + 50), stripX trunc(start * pixelsPerMs)
//   game    text  lyricRowHeight  x the same,                                   the same stripX
//   lyrics  note  pitchAreaHeight x (width - pitchAreaRight - pitchAreaLeft),   stripX 0
//   lyrics  text  lyricRowHeight  x MeasureLineText (unsung and sung),          stripX 0
#include "text/line_strips.h"

#include "core/numeric.h"
#include "core/renderer_impl.h"

namespace {

// Clamps last to the song; false when the range is empty.
bool ClampRange(const SongInfo& song, uint32_t first, uint32_t* last) {
    if (!song.lines || song.lineCount == 0) return false;
    if (*last >= song.lineCount) *last = song.lineCount - 1;
    return first <= *last;
}

// Appends a new zeroed strip of width x height to `queue`, unless its size is
// refused or cannot be allocated.
void AppendStrip(StripQueue* queue, int64_t width, int64_t height, int32_t stripX, uint32_t lineIndex) {
    const int64_t bytes = SurfaceByteSize(width, height);
    if (bytes <= 0 || bytes > kMaxStripBytes) return;
    LineStrip strip;
    if (!CreateDibSurface(int32_t(width), int32_t(height), &strip)) return;
    strip.x = stripX;
    strip.y = 0;
    strip.tag = int32_t(lineIndex);
    strip.ownsPixels = false;
    queue->push_back(strip);
}

}  // namespace

int32_t TimeToPixels(uint32_t ms, float pixelsPerMs) {
    return SaturatingTruncate(double(ms) * double(pixelsPerMs));
}

int32_t MeasureLineText(const CGDIRendererImpl* r, const SongLine& line) {
    if (!r->glyphCache) return 0;
    (void)line;
    return 0;
}

void PrepareGameLines(CGDIRendererImpl* r, uint32_t first, uint32_t last) {
    if (!ClampRange(r->song, first, &last)) return;
    const RendererLayout& l = r->layout;
    for (uint32_t i = first;; ++i) {
        const SongLine& line = r->song.lines[i];
        const int32_t left = TimeToPixels(line.startTime, l.pixelsPerMs);
        const int64_t w = int64_t(TimeToPixels(line.endTime - line.startTime, l.pixelsPerMs)) + 50;
        AppendStrip(&r->gameNoteStrips, w, l.pitchAreaHeight, left, i);
        AppendStrip(&r->gameTextStrips, w, l.lyricRowHeight, left, i);
        if (i == last) break;
    }
}

void PrepareLyricsLines(CGDIRendererImpl* r, uint32_t first, uint32_t last) {
    if (!ClampRange(r->song, first, &last)) return;
    const RendererLayout& l = r->layout;
    const int64_t noteWidth = int64_t(r->width) - l.pitchAreaRight - l.pitchAreaLeft;
    for (uint32_t i = first;; ++i) {
        AppendStrip(&r->lyricsNoteStrips, noteWidth, l.pitchAreaHeight, 0, i);
        const int32_t textWidth = MeasureLineText(r, r->song.lines[i]);
        AppendStrip(&r->lyricsUnsungStrips, textWidth, l.lyricRowHeight, 0, i);
        AppendStrip(&r->lyricsSungStrips, textWidth, l.lyricRowHeight, 0, i);
        if (i == last) break;
    }
}
