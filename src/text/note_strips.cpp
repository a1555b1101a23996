// note_strips.cpp - PaintNoteStrips and DrawBar.
//
// Game mode:   x = trunc((note.start - line.start) * pixelsPerMs), w = trunc((note.end - note.start) * pixelsPerMs)
// Lyrics mode: x = (note.start - line.start) * S / (line.end - line.start), w likewise, with
//              S = width - pitchAreaRight - pitchAreaLeft, all unsigned 32-bit, product modulo 2^32
#include "text/note_strips.h"

#include <cstring>

#include "core/numeric.h"
#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "imaging/skin.h"
#include "song/timeline.h"
#include "text/line_strips.h"

namespace {

void CopyPiece(DibSurface* strip, const DibSurface& atlas, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
               int32_t w, int32_t h) {
    CopyPixels(strip->pixels, strip->stride, dstX, dstY, strip->width, strip->height, atlas.pixels, atlas.stride,
               srcX, srcY, w, h);
}

}  // namespace

int32_t PitchToY(float pitch, float minPitch, float maxPitch, int32_t pitchAreaHeight, int32_t noteHeight) {
    const double span = double(pitchAreaHeight) - double(noteHeight);
    return SaturatingTruncate(span * (double(maxPitch) - double(pitch)) / (double(maxPitch) - double(minPitch)));
}

void DrawBar(const ImageRect& l, const ImageRect& m, const ImageRect& r, DibSurface* strip, const DibSurface& atlas,
             int32_t x, int32_t y, int32_t w) {
    if (int64_t(w) < int64_t(l.width) + r.width) {
        const int32_t h = w / 2;
        if (h < 1) return;
        if (x >= 0) CopyPiece(strip, atlas, x, y, l.x, l.y, h, l.height);
        if (int64_t(x) + h >= 0 && int64_t(x) + h <= INT32_MAX)
            CopyPiece(strip, atlas, x + h, y, r.x + r.width - h, r.y, h, r.height);
        return;
    }
    if (x >= 0) CopyPiece(strip, atlas, x, y, l.x, l.y, l.width, l.height);
    int64_t col = int64_t(x) + l.width;
    int64_t remaining = int64_t(w) - l.width - r.width;
    // A middle piece without width would never advance: the middle stays empty.
    if (m.width > 0) {
        while (remaining > 0 && col < strip->width) {
            const int64_t p = remaining < m.width ? remaining : m.width;
            if (col >= 0) CopyPiece(strip, atlas, int32_t(col), y, m.x, m.y, int32_t(p), m.height);
            remaining -= m.width;
            col += p;
        }
        if (remaining > 0) col += remaining;  // the rest lies past the strip's right edge
    } else if (remaining > 0) {
        col += remaining;
    }
    if (col >= 0 && col <= INT32_MAX) CopyPiece(strip, atlas, int32_t(col), y, r.x, r.y, r.width, r.height);
}

void PaintNoteStrips(CGDIRendererImpl* r, uint32_t first, uint32_t last, StripQueue* queue,
                     const DibSurface& atlas) {
    if (first > last) return;
    const RendererLayout& l = r->layout;
    const SongInfo& song = r->song;
    const int base = r->mode == 1 ? kImageWaveYellowL : kImageWaveLightBlueL;
    const uint32_t stripWidth = uint32_t(int64_t(r->width) - l.pitchAreaRight - l.pitchAreaLeft);
    for (uint32_t i = first;; ++i) {
        LineStrip* found = FindStripToPaint(queue, i);
        if (found && song.lines && i < song.lineCount) {
            LineStrip& s = *found;
            std::memset(s.pixels, 0, size_t(s.stride) * size_t(s.height));
            const SongLine& line = song.lines[i];
            for (uint32_t n = 0; line.notes && n < line.noteCount && (r->mode == 0 || r->mode == 1); ++n) {
                const SongNote& note = line.notes[n];
                int32_t x, w;
                if (r->mode == 1) {
                    x = TimeToPixels(note.startTime - line.startTime, l.pixelsPerMs);
                    w = TimeToPixels(note.endTime - note.startTime, l.pixelsPerMs);
                } else {
                    const uint32_t duration = line.endTime - line.startTime;
                    if (duration == 0) continue;  // a line of no length has nowhere to put a note
                    x = int32_t(uint32_t((note.startTime - line.startTime) * stripWidth) / duration);
                    w = int32_t(uint32_t((note.endTime - note.startTime) * stripWidth) / duration);
                }
                const int32_t y = PitchToY(note.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
                if (y < 0) continue;  // above the top: not drawn
                DrawBar(r->images[base], r->images[base + 1], r->images[base + 2], &s, atlas, x, y, w);
            }
        }
        if (i == last) break;
    }
}
