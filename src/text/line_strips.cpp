// line_strips.cpp - PrepareGameLines, PrepareLyricsLines and MeasureLineText.
//
// Strip sizes of line i (lineIndex i, y 0):
//   game    note  pitchAreaHeight x (trunc((end - start) * pixelsPerMs) + 50), stripX trunc(start * pixelsPerMs)
//   game    text  lyricRowHeight  x the same,                                   the same stripX
//   lyrics  note  pitchAreaHeight x (width - pitchAreaRight - pitchAreaLeft),   stripX 0
//   lyrics  text  lyricRowHeight  x MeasureLineText (unsung and sung),          stripX 0
#include "text/line_strips.h"

#include <cstring>

#include "core/numeric.h"
#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "song/timeline.h"
#include "text/glyph_cache.h"
#include "text/note_strips.h"

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
    if (!r->glyphCache || !line.words) return 0;
    int64_t width = 0;
    for (uint32_t w = 0; w < line.wordCount; ++w) {
        const SongWord& word = line.words[w];
        for (uint32_t k = 0; word.text && k < word.textLength; ++k)
            width += FindGlyphRect(*r->glyphCache, word.text[k]).width;
        width += r->layout.syllableGap;
    }
    // Beyond any strip that could be made; the strip is then refused.
    return width > INT32_MAX ? INT32_MAX : width < INT32_MIN ? INT32_MIN : int32_t(width);
}

// Glyph tiles side by side: in game mode each word starts at its own time (or
// right after the previous word), in lyrics mode words follow each other with
// syllableGap between them.  Tile (r, o) goes to (max(0, pen - o.dx), max(0, -o.dy)).
void PaintTextStrips(CGDIRendererImpl* r, uint32_t first, uint32_t last, StripQueue* queue,
                     const DibSurface& atlas) {
    if (first > last || !r->glyphCache || !r->song.lines) return;
    const CGlyphCache& cache = *r->glyphCache;
    for (uint32_t i = first;; ++i) {
        LineStrip* found = FindStripToPaint(queue, i);
        if (found && i < r->song.lineCount) {
            LineStrip& s = *found;
            std::memset(s.pixels, 0, size_t(s.stride) * size_t(s.height));
            const SongLine& line = r->song.lines[i];
            int64_t pen = 0;
            for (uint32_t w = 0; line.words && w < line.wordCount; ++w) {
                const SongWord& word = line.words[w];
                if (r->mode == 1) {
                    const int64_t t = TimeToPixels(word.startTime - line.startTime, r->layout.pixelsPerMs);
                    if (pen <= t) pen = t;
                }
                for (uint32_t k = 0; word.text && k < word.textLength; ++k) {
                    const GlyphRect& g = FindGlyphRect(cache, word.text[k]);
                    const GlyphOffset& o = FindGlyphOffset(cache, word.text[k]);
                    const int64_t x = pen - o.dx > 0 ? pen - o.dx : 0;
                    const int32_t y = -o.dy > 0 ? -o.dy : 0;
                    if (x <= INT32_MAX)
                        CopyPixels(s.pixels, s.stride, int32_t(x), y, s.width, s.height, atlas.pixels, atlas.stride,
                                   g.x, g.y, g.width, g.height);
                    pen += g.width;
                }
                if (r->mode == 0) pen += r->layout.syllableGap;
            }
        }
        if (i == last) break;
    }
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
    PaintNoteStrips(r, first, last, &r->gameNoteStrips, r->atlas);
    if (r->glyphCache) PaintTextStrips(r, first, last, &r->gameTextStrips, r->glyphCache->outlinedAtlas);
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
    PaintNoteStrips(r, first, last, &r->lyricsNoteStrips, r->atlas);
    if (r->glyphCache) {
        PaintTextStrips(r, first, last, &r->lyricsUnsungStrips, r->glyphCache->outlinedAtlas);
        PaintTextStrips(r, first, last, &r->lyricsSungStrips, r->glyphCache->invertedAtlas);
    }
}
