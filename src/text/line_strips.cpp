// line_strips.cpp - making the strips of a line, and painting its text.
#include "text/line_strips.h"

#include <cstring>

#include "base/mappings.h"
#include "imaging/blit.h"
#include "text/note_strips.h"

namespace {

enum class StripKind { Notes, Text, Sung };

// Makes a zeroed strip of width x height for line `lineIndex`, unless its size is
// refused (by arithmetic, before any allocation) or cannot be allocated.
bool MakeStrip(int64_t width, int64_t height, int32_t stripX, uint32_t lineIndex, LineStrip* strip) {
    const int64_t bytes = SurfaceByteSize(width, height);
    if (bytes <= 0 || bytes > kMaxStripBytes) return false;
    if (!CreateDibSurface(int32_t(width), int32_t(height), strip)) return false;
    strip->x = stripX;
    strip->y = 0;
    strip->tag = int32_t(lineIndex);
    strip->ownsPixels = false;
    return true;
}

// Makes, paints and queues one strip of line i.
void PrepareStrip(const LineStripInputs& in, int32_t mode, StripKind kind, uint32_t i, StripQueue* queue) {
    const SongLine& line = in.song.lines[i];
    const RendererLayout& l = in.layout;
    const int64_t height = kind == StripKind::Notes ? l.pitchAreaHeight : l.lyricRowHeight;
    int64_t width = 0;
    int32_t stripX = 0;
    if (mode == kGameMode) {
        stripX = TimeToPixels(line.startTime, l.pixelsPerMs);
        width = int64_t(TimeToPixels(line.endTime - line.startTime, l.pixelsPerMs)) + 50;
    } else if (kind == StripKind::Notes) {
        width = int64_t(in.windowWidth) - l.pitchAreaRight - l.pitchAreaLeft;
    } else {
        width = MeasureLineText(in.glyphs, l.syllableGap, line);
    }
    LineStrip strip;
    if (!MakeStrip(width, height, stripX, i, &strip)) return;
    if (kind == StripKind::Notes)
        PaintNoteStrip(in, mode, line, &strip);
    else if (in.glyphs)
        PaintTextStrip(in, mode, line, kind == StripKind::Text ? in.glyphs->outlinedAtlas : in.glyphs->invertedAtlas,
                       &strip);
    InsertStrip(queue, strip);
}

// The mode's queues with the kind of strip each holds.
struct QueueOfKind {
    StripQueue* queue;
    StripKind kind;
};
void ModeQueues(const ModeStrips& s, QueueOfKind out[3], int* count) {
    *count = 0;
    if (s.notes) out[(*count)++] = {s.notes, StripKind::Notes};
    if (s.text) out[(*count)++] = {s.text, StripKind::Text};
    if (s.sung) out[(*count)++] = {s.sung, StripKind::Sung};
}

}  // namespace

bool ModeStripsPrepared(const ModeStrips& s) {
    if (!s.notes && !s.text && !s.sung) return false;  // a mode that keeps no strips
    return (!s.notes || !s.notes->empty()) && (!s.text || !s.text->empty()) && (!s.sung || !s.sung->empty());
}

void PrepareLines(const LineStripInputs& in, const ModeStrips& strips, uint32_t first, uint32_t last) {
    if (strips.mode != kGameMode && strips.mode != kLyricsMode) return;
    if (!in.song.lines || in.song.lineCount == 0) return;
    if (last >= in.song.lineCount) last = in.song.lineCount - 1;
    QueueOfKind queues[3];
    int count = 0;
    ModeQueues(strips, queues, &count);
    for (uint32_t i = first; i <= last; ++i) {
        for (int q = 0; q < count; ++q)
            if (IsNotFound(FindStrip(*queues[q].queue, i))) PrepareStrip(in, strips.mode, queues[q].kind, i, queues[q].queue);
        if (i == last) break;  // last may be the largest index
    }
}

void KeepWindowPrepared(const LineStripInputs& in, const ModeStrips& strips, LineRange window) {
    if (strips.mode != kGameMode && strips.mode != kLyricsMode) return;
    QueueOfKind queues[3];
    int count = 0;
    ModeQueues(strips, queues, &count);
    uint32_t missing[3] = {0, 0, 0};
    for (int q = 0; q < count; ++q) missing[q] = PruneStripQueue(queues[q].queue, window);
    if (!in.song.lines) return;
    for (uint32_t k = 0; k < kWindowLines; ++k) {
        const uint32_t line = window.first + k;
        for (int q = 0; q < count; ++q)
            if ((missing[q] & (1u << k)) && line < in.song.lineCount)
                PrepareStrip(in, strips.mode, queues[q].kind, line, queues[q].queue);
    }
}

int32_t MeasureLineText(const CGlyphCache* glyphs, int32_t syllableGap, const SongLine& line) {
    if (!glyphs || !line.words) return 0;
    int64_t width = 0;
    for (uint32_t w = 0; w < line.wordCount; ++w) {
        const SongWord& word = line.words[w];
        for (uint32_t k = 0; word.text && k < word.textLength; ++k) width += FindGlyphRect(*glyphs, word.text[k]).width;
        width += syllableGap;
    }
    return Clamp32(width);  // beyond any strip that could be made: the strip is then refused
}

// Glyph tile (r, o) goes to (max(0, pen - o.dx), max(0, -o.dy)); the pen then
// moves by the tile's width.
void PaintTextStrip(const LineStripInputs& in, int32_t mode, const SongLine& line, const DibSurface& atlas,
                    LineStrip* s) {
    if (!in.glyphs || !s->pixels) return;
    std::memset(s->pixels, 0, size_t(s->stride) * size_t(s->height));
    const CGlyphCache& cache = *in.glyphs;
    int64_t pen = 0;
    for (uint32_t w = 0; line.words && w < line.wordCount; ++w) {
        const SongWord& word = line.words[w];
        if (mode == kGameMode) {
            const int64_t t = TimeToPixels(word.startTime - line.startTime, in.layout.pixelsPerMs);
            if (pen <= t) pen = t;
        }
        for (uint32_t k = 0; word.text && k < word.textLength; ++k) {
            const GlyphRect& g = FindGlyphRect(cache, word.text[k]);
            const GlyphOffset& o = FindGlyphOffset(cache, word.text[k]);
            const int64_t x = pen - o.dx > 0 ? pen - o.dx : 0;
            const int64_t y = -int64_t(o.dy) > 0 ? -int64_t(o.dy) : 0;
            CopyRect(s, x, y, atlas, ImageRect{g.x, g.y, g.width, g.height}, s->height);
            pen += g.width;
        }
        if (mode == kLyricsMode) pen += in.layout.syllableGap;
    }
}
