// line_strips.cpp - making the strips of a line, and painting its text.
#include "text/line_strips.h"

#include <cstring>

#include "base/mappings.h"
#include "imaging/blit.h"
#include "text/note_strips.h"

namespace {

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
    const int64_t height = kind == kNoteStrip ? l.pitchAreaHeight : l.lyricRowHeight;
    int64_t width = 0;
    int32_t stripX = 0;
    if (mode == kGameMode) {
        stripX = TimeToPixels(line.startTime, l.pixelsPerMs);
        width = int64_t(TimeToPixels(line.endTime - line.startTime, l.pixelsPerMs)) + 50;
    } else if (kind == kNoteStrip) {
        width = int64_t(in.windowWidth) - l.pitchAreaRight - l.pitchAreaLeft;
    } else {
        width = MeasureLineText(in.glyphs, l.syllableGap, line);
    }
    LineStrip strip;
    if (!MakeStrip(width, height, stripX, i, &strip)) return;
    if (kind == kNoteStrip)
        PaintNoteStrip(in, mode, line, &strip);
    else if (in.glyphs)
        PaintTextStrip(in, mode, line, kind == kTextStrip ? in.glyphs->outlinedAtlas : in.glyphs->invertedAtlas,
                       &strip);
    InsertStrip(queue, strip);
}

}  // namespace

bool ModeStripsPrepared(const ModeStrips& s) {
    bool any = false;  // a mode that keeps no strips is never prepared
    for (const StripQueue* q : s.queues) {
        if (q && q->empty()) return false;
        any = any || q;
    }
    return any;
}

void PrepareLines(const LineStripInputs& in, const ModeStrips& strips, uint32_t first, uint32_t last) {
    if (!in.song.lines || in.song.lineCount == 0) return;
    if (last >= in.song.lineCount) last = in.song.lineCount - 1;
    for (uint32_t i = first; i <= last; ++i) {
        for (int kind = 0; kind < kStripKinds; ++kind)
            if (StripQueue* q = strips.queues[kind]; q && IsNotFound(FindStrip(*q, i)))
                PrepareStrip(in, strips.mode, StripKind(kind), i, q);
        if (i == last) break;  // last may be the largest index
    }
}

void KeepWindowPrepared(const LineStripInputs& in, const ModeStrips& strips, LineRange window) {
    uint32_t missing[kStripKinds] = {0, 0, 0};
    for (int kind = 0; kind < kStripKinds; ++kind)
        if (strips.queues[kind]) missing[kind] = PruneStripQueue(strips.queues[kind], window);
    for (uint32_t k = 0; k < kWindowLines && in.song.lines; ++k)
        for (int kind = 0; kind < kStripKinds; ++kind)
            if ((missing[kind] & (1u << k)) && window.first + k < in.song.lineCount)
                PrepareStrip(in, strips.mode, StripKind(kind), window.first + k, strips.queues[kind]);
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
    s->inked = ImageRect{0, 0, 0, 0};
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
    s->inked = InkedBounds(*s);
    s->painting = NewPaintingNumber();
}
