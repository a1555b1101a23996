// note_strips.cpp - PaintNoteStrip and DrawBar.
#include "text/note_strips.h"

#include <cstring>

#include "base/mappings.h"
#include "imaging/blit.h"
#include "imaging/capped_bar.h"
#include "imaging/skin.h"

void DrawBar(const ImageRect& left, const ImageRect& middle, const ImageRect& right, DibSurface* strip,
             const DibSurface& atlas, int32_t x, int32_t y, int32_t w) {
    ForEachBarPiece(left, middle, right, x, w, strip->width,
                    [&](const ImageRect& piece, int64_t at) { CopyRect(strip, at, y, atlas, piece); });
}

void PaintNoteStrip(const LineStripInputs& in, int32_t mode, const SongLine& line, LineStrip* s) {
    if (!s->pixels) return;
    std::memset(s->pixels, 0, size_t(s->stride) * size_t(s->height));
    s->inked = ImageRect{0, 0, 0, 0};
    s->painting = NewPaintingNumber();
    if (mode != kGameMode && mode != kLyricsMode) return;
    const RendererLayout& l = in.layout;
    const SongInfo& song = in.song;
    const int base = mode == kGameMode ? kImageWaveYellowL : kImageWaveLightBlueL;
    const uint32_t S = uint32_t(int64_t(in.windowWidth) - l.pitchAreaRight - l.pitchAreaLeft);
    for (uint32_t n = 0; line.notes && n < line.noteCount; ++n) {
        const SongNote& note = line.notes[n];
        int32_t x, w;
        if (mode == kGameMode) {
            x = TimeToPixels(note.startTime - line.startTime, l.pixelsPerMs);
            w = TimeToPixels(note.endTime - note.startTime, l.pixelsPerMs);
        } else {
            const uint32_t duration = line.endTime - line.startTime;
            if (duration == 0) continue;  // a line of no length has nowhere to put a note
            x = int32_t(StretchToPixels(note.startTime - line.startTime, S, duration));
            w = int32_t(StretchToPixels(note.endTime - note.startTime, S, duration));
        }
        const int32_t y = PitchToY(note.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
        if (y < 0) continue;  // above the top: not drawn
        DrawBar(in.images[base], in.images[base + 1], in.images[base + 2], s, in.atlas, x, y, w);
    }
    s->inked = InkedBounds(*s);
    s->painting = NewPaintingNumber();
}
