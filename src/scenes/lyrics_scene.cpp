// lyrics_scene.cpp - ComposeLyricsFrame and the singer's trail.
//
//   rows 0 .. topMargin                     transparent; score and grade
//   topMargin .. + pitchAreaHeight          background, note bars of the shown line, trail
//   next lyricRowHeight                     even lines, left end at firstLineLeft
//   next lyricRowHeight                     odd lines, right end at W - secondLineRight
//   below the pitch area                    translucent dark band (0x32000000)
#include <algorithm>
#include <cstdlib>

#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "imaging/skin.h"
#include "scenes/scenes.h"
#include "song/timeline.h"
#include "text/glyph_cache.h"
#include "text/note_strips.h"

namespace {

// The width of a word's glyphs, as the text strips lay them out.
int64_t WordWidth(const CGlyphCache& cache, const SongWord& word) {
    int64_t w = 0;
    for (uint32_t k = 0; word.text && k < word.textLength; ++k) w += FindGlyphRect(cache, word.text[k]).width;
    return w;
}

// x of a time within the current line's extent in the pitch area:
//   pitchAreaLeft + S * (t - start) / (end - start), unsigned 32-bit, product first.
int32_t PitchAreaX(const CGDIRendererImpl* r, uint32_t S, const SongLine& line, uint32_t t) {
    const uint32_t duration = line.endTime - line.startTime;
    if (duration == 0) return r->layout.pitchAreaLeft;
    return int32_t(uint32_t(r->layout.pitchAreaLeft) + (S * (t - line.startTime)) / duration);
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

int32_t LineProgress(const CGDIRendererImpl* r, const SongLine& line, uint32_t t) {
    const RendererLayout& l = r->layout;
    if (t < line.startTime) {
        const uint32_t d = line.startTime - t;
        if (int64_t(int32_t(d)) > l.leadInTime || l.leadInTime <= 0) return kNotShown;
        // -(leadInDistance * d / leadInTime): the product wraps in 32 bits, the
        // quotient truncates; the negation is taken in 64 bits and saturated.
        const int32_t product = int32_t(uint32_t(l.leadInDistance) * d);
        return Clamp32(-(int64_t(product) / l.leadInTime));
    }
    if (t > line.endTime) return kNotShown;
    if (!r->glyphCache || !line.words) return 0;
    int64_t sum = 0;
    for (uint32_t i = 0; i < line.wordCount; ++i) {
        const SongWord& word = line.words[i];
        const int64_t w = WordWidth(*r->glyphCache, word);
        if (t < word.endTime) {
            if (t < word.startTime) return Clamp32(sum);
            const uint32_t span = word.endTime - word.startTime;
            return Clamp32(sum + int64_t(uint32_t(uint32_t(t - word.startTime) * uint32_t(w)) / span));
        }
        sum += w + l.syllableGap;
    }
    return Clamp32(sum);
}

void AddTrailPoint(CGDIRendererImpl* r, TrailPoint point) {
    const SongInfo& song = r->song;
    if (!song.lines || r->currentLine >= song.lineCount) return;
    const SongLine& line = song.lines[r->currentLine];
    const RendererLayout& l = r->layout;
    const uint32_t S = uint32_t(int64_t(r->frame.width) - l.pitchAreaLeft - l.pitchAreaRight);
    int32_t e = 0;
    for (uint32_t n = 0; line.notes && n < line.noteCount; ++n) {
        const SongNote& note = line.notes[n];
        const int32_t x0 = PitchAreaX(r, S, line, note.startTime);
        const int32_t x1 = PitchAreaX(r, S, line, note.endTime);
        e = x1;  // the last note's end, unless a note matches
        if (x0 <= point.x && point.x <= x1 && int64_t(x1) - x0 >= 10) {
            const int32_t ny = Clamp32(int64_t(l.topMargin) +
                                       PitchToY(note.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight));
            if (std::llabs(int64_t(point.y) - ny) <= l.pitchTolerance) {
                point.onPitch = true;
                point.y = ny;
            }
            break;
        }
    }
    std::vector<TrailPoint>& trail = r->pitchTrail;
    const size_t n = trail.size();
    if (n == 0) {
        trail.push_back(point);
        return;
    }
    TrailPoint& last = trail.back();
    if (n >= 2 && trail[n - 2].y == last.y && last.y == point.y) {
        last = point;  // the run grows
        return;
    }
    if (last.x == point.x) return;
    if (last.y == point.y) {
        trail.push_back(point);
        return;
    }
    // The height changes: the old run ends where the new one starts, or at the
    // matched note's end when an on-pitch run is left past it.
    if (last.onPitch && !point.onPitch && point.x > e) {
        last.x = e;
        point.x = e;
    } else {
        last.x = point.x;
    }
    const TrailPoint copy = last;
    trail.push_back(copy);
    trail.push_back(point);
}

void DrawTrail(CGDIRendererImpl* r) {
    const std::vector<TrailPoint>& trail = r->pitchTrail;
    for (size_t i = 0; i + 1 < trail.size(); ++i) {
        if (trail[i].y != trail[i + 1].y) continue;
        const int base = trail[i].onPitch ? kImageWaveBlueL : kImageTrailYellowL;
        DrawCappedBar(r, r->images[base], r->images[base + 1], r->images[base + 2], trail[i].x, trail[i].y,
                      Clamp32(int64_t(trail[i + 1].x) - trail[i].x));
    }
}

namespace {

// Where line i's row starts: even lines at firstLineLeft in the upper row, odd
// lines right-aligned at W - secondLineRight in the lower row.
void RowPosition(const CGDIRendererImpl* r, uint32_t i, int64_t* x, int64_t* y) {
    const RendererLayout& l = r->layout;
    if (i % 2 == 0) {
        *x = l.firstLineLeft;
        *y = int64_t(l.topMargin) + l.pitchAreaHeight;
    } else {
        *y = int64_t(l.topMargin) + l.pitchAreaHeight + l.lyricRowHeight;
        const LineStrip& sung = FindStrip(r->lyricsSungStrips, i);
        *x = IsNotFound(sung) ? 0 : int64_t(r->frame.width) - l.secondLineRight - sung.width;
    }
}

}  // namespace

void DrawLyricRow(CGDIRendererImpl* r, uint32_t i, int32_t progress) {
    int64_t x = 0, y = 0;
    RowPosition(r, i, &x, &y);
    const LineStrip& sung = FindStrip(r->lyricsSungStrips, i);
    if (progress > 0 && !IsNotFound(sung)) {
        const int64_t k = std::min<int64_t>(sung.width, progress);
        if (k > 0 && x >= 0) BlendOntoFrame(r, sung.pixels, sung.stride, x, y, 0, 0, k, sung.height);
    }
    const LineStrip& unsung = FindStrip(r->lyricsUnsungStrips, i);
    if (!IsNotFound(unsung) && int64_t(unsung.width) - progress > 0 && x + progress >= 0)
        BlendOntoFrame(r, unsung.pixels, unsung.stride, x + progress, y, progress, 0,
                       int64_t(unsung.width) - progress, unsung.height);
}

void DrawSlider(CGDIRendererImpl* r, uint32_t i, int32_t progress) {
    int64_t x = 0, y = 0;
    RowPosition(r, i, &x, &y);
    const int64_t e = x + progress;
    if (e < 0) return;
    const ImageRect& slider = r->images[kImageSlider];
    const int64_t v = std::min<int64_t>(e, slider.width);
    const int64_t left = std::max<int64_t>(0, e - slider.width);
    BlendOntoFrame(r, r->atlas.pixels, r->atlas.stride, left, y, int64_t(slider.x) + slider.width - v, slider.y, v,
                   slider.height);
}

void ComposeLyricsFrame(CGDIRendererImpl* r, const PlayState& state) {
    const SongInfo& song = r->song;
    const uint32_t k = r->currentLine;
    if (!song.lines || k >= song.lineCount || !r->glyphCache || !r->frame.pixels) return;
    const RendererLayout& l = r->layout;
    const int32_t W = r->frame.width;
    const uint32_t t = state.timeMs;

    ClearFrame(r, int64_t(l.topMargin) + l.pitchAreaHeight);
    BlendOntoFrame(r, r->lyricsStrip.pixels, r->lyricsStrip.stride, 0, l.topMargin, 0, 0, r->lyricsStrip.width,
                   r->lyricsStrip.height);
    ++r->framesThisSecond;

    int32_t p = LineProgress(r, song.lines[k], t);
    uint32_t s = k;
    if (p == kNotShown) {
        if (uint64_t(k) + 1 < song.lineCount) {
            p = LineProgress(r, song.lines[k + 1], t);
            s = k + 1;
        }
    }
    if (p != kNotShown) {
        const int32_t q = p < 0 ? 0 : p > W ? W : p;
        const LineStrip& notes = FindStrip(r->lyricsNoteStrips, s);
        if (!IsNotFound(notes) && l.pitchAreaLeft >= 0)
            BlendPixels(r->frame.pixels, r->frame.stride, l.pitchAreaLeft, l.topMargin,
                        int32_t(std::clamp<int64_t>(int64_t(W) - l.pitchAreaRight, INT32_MIN, INT32_MAX)),
                        r->frame.height, notes.pixels, notes.stride, 0, 0, notes.width, notes.height, 255);
        if (p >= 0) {
            // The trail belongs to the line being sung: a point is added only while
            // the time lies within the current line, so that no point lands outside
            // its extent (late in a lead-in the progress is already 0 although the
            // line has not begun, and the next line's lead-in can start before the
            // current line's end is passed).
            const SongLine& line = song.lines[k];
            if (t >= line.startTime && t <= line.endTime) {
                const uint32_t S = uint32_t(int64_t(W) - l.pitchAreaRight - l.pitchAreaLeft);
                TrailPoint point;
                point.x = PitchAreaX(r, S, line, t);
                point.y = Clamp32(int64_t(l.topMargin) +
                                  PitchToY(state.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight));
                point.onPitch = false;
                point.kind = 3;
                AddTrailPoint(r, point);
            }
            DrawTrail(r);
        }
        DrawLyricRow(r, s, q);
        DrawLyricRow(r, s + 1, 0);
        DrawSlider(r, s, p);
        UpdateScoreDisplay(r);
    }
    PremultiplyAlpha(&r->frame);
}
