// lyrics_scene.cpp - ComposeLyricsFrame and the singer's trail.
//
//   rows 0 .. topMargin                     transparent; score and grade
//   topMargin .. + pitchAreaHeight          background, note bars of the shown line, trail
//   next lyricRowHeight                     even lines, left end at firstLineLeft
//   next lyricRowHeight                     odd lines, right end at W - secondLineRight
//   below the pitch area                    translucent dark band
#include <algorithm>
#include <cstdlib>

#include "base/mappings.h"
#include "base/numeric.h"
#include "imaging/blit.h"
#include "imaging/skin.h"
#include "scenes/scenes.h"

namespace {

// The width of a word's glyphs, as the text strips lay them out.
int64_t WordWidth(const CGlyphCache& cache, const SongWord& word) {
    int64_t w = 0;
    for (uint32_t k = 0; word.text && k < word.textLength; ++k) w += FindGlyphRect(cache, word.text[k]).width;
    return w;
}

// x of time t within the line's extent in the pitch area:
//   pitchAreaLeft + S * (t - start) / (end - start)   (unsigned 32-bit, product first)
int32_t PitchAreaX(const RendererLayout& l, uint32_t S, const SongLine& line, uint32_t t) {
    return int32_t(uint32_t(l.pitchAreaLeft) + StretchToPixels(t - line.startTime, S, line.endTime - line.startTime));
}

// The pitch area's width in lyrics mode.
uint32_t PitchAreaWidth(const RendererLayout& l, int32_t frameWidth) {
    return uint32_t(int64_t(frameWidth) - l.pitchAreaLeft - l.pitchAreaRight);
}

void DrawTrail(const SceneInputs& in, FrameCanvas* frame, const PitchTrail& trail) {
    for (size_t i = 0; i + 1 < trail.size(); ++i) {
        if (trail[i].y != trail[i + 1].y || trail[i].silenceAfter) continue;  // a step, or a pause
        const int base = trail[i].onPitch ? kImageWaveBlueL : kImageTrailYellowL;
        DrawCappedBar(frame, in.atlas, in.images[base], in.images[base + 1], in.images[base + 2], trail[i].x,
                      trail[i].y, Clamp32(int64_t(trail[i + 1].x) - trail[i].x));
    }
}

// Where line i's row starts: even lines at firstLineLeft in the upper row, odd
// lines right-aligned at W - secondLineRight in the lower row.
void RowPosition(const SceneInputs& in, int32_t frameWidth, uint32_t i, int64_t* x, int64_t* y) {
    const RendererLayout& l = in.layout;
    if (i % 2 == 0) {
        *x = l.firstLineLeft;
        *y = int64_t(l.topMargin) + l.pitchAreaHeight;
    } else {
        *y = int64_t(l.topMargin) + l.pitchAreaHeight + l.lyricRowHeight;
        const LineStrip& sung = FindStrip(in.sung, i);
        *x = IsNotFound(sung) ? 0 : int64_t(frameWidth) - l.secondLineRight - sung.width;
    }
}

// The sung look up to `progress`, the unsung look from there on.
void DrawLyricRow(const SceneInputs& in, FrameCanvas* frame, uint32_t i, int32_t progress) {
    int64_t x = 0, y = 0;
    RowPosition(in, frame->Width(), i, &x, &y);
    const LineStrip& sung = FindStrip(in.sung, i);
    if (progress > 0 && !IsNotFound(sung)) {
        const int64_t k = std::min<int64_t>(sung.width, progress);
        if (k > 0 && x >= 0) frame->BlendStrip(x, y, sung, RectOf(0, 0, k, sung.height));
    }
    const LineStrip& unsung = FindStrip(in.text, i);
    if (!IsNotFound(unsung) && int64_t(unsung.width) - progress > 0 && x + progress >= 0)
        frame->BlendStrip(x + progress, y, unsung,
                          RectOf(progress, 0, int64_t(unsung.width) - progress, unsung.height));
}

// The slider's right edge marks the progress point; during a lead-in it slides in
// from the left.
void DrawSlider(const SceneInputs& in, FrameCanvas* frame, uint32_t i, int32_t progress) {
    int64_t x = 0, y = 0;
    RowPosition(in, frame->Width(), i, &x, &y);
    const int64_t e = x + progress;
    if (e < 0) return;
    const ImageRect& slider = in.images[kImageSlider];
    const int64_t v = std::min<int64_t>(e, slider.width);
    const int64_t left = std::max<int64_t>(0, e - slider.width);
    frame->Blend(left, y, in.atlas, RectOf(int64_t(slider.x) + slider.width - v, slider.y, v, slider.height));
}

}  // namespace

int32_t LineProgress(const CGlyphCache* glyphs, const RendererLayout& l, const SongLine& line, uint32_t t) {
    if (t < line.startTime) {
        const uint32_t d = line.startTime - t;
        if (int64_t(int32_t(d)) > l.leadInTime || l.leadInTime <= 0) return kNotShown;
        // -(leadInDistance * d / leadInTime): the product wraps in 32 bits, the
        // quotient truncates; the negation is taken in 64 bits and saturated.
        const int32_t product = int32_t(uint32_t(l.leadInDistance) * d);
        return Clamp32(-(int64_t(product) / l.leadInTime));
    }
    if (t > line.endTime) return kNotShown;
    if (!glyphs || !line.words) return 0;
    int64_t sum = 0;
    for (uint32_t i = 0; i < line.wordCount; ++i) {
        const SongWord& word = line.words[i];
        const int64_t w = WordWidth(*glyphs, word);
        if (t < word.endTime) {
            if (t < word.startTime) return Clamp32(sum);
            const uint32_t span = word.endTime - word.startTime;
            return Clamp32(sum + int64_t(uint32_t(uint32_t(t - word.startTime) * uint32_t(w)) / span));
        }
        sum += w + l.syllableGap;
    }
    return Clamp32(sum);
}

// The point snaps onto the first note (at least 10 pixels wide) whose extent holds
// its x when it lies within pitchTolerance of the note's height.  A run of equal
// heights keeps two points; a change of height is a step of two points at one x.
void AddTrailPoint(const SceneInputs& in, int32_t frameWidth, PitchTrail* trail, TrailPoint point) {
    const SongInfo& song = in.song;
    if (!song.lines || in.currentLine >= song.lineCount) return;
    const SongLine& line = song.lines[in.currentLine];
    const RendererLayout& l = in.layout;
    const uint32_t S = PitchAreaWidth(l, frameWidth);
    int32_t e = 0;
    for (uint32_t n = 0; line.notes && n < line.noteCount; ++n) {
        const SongNote& note = line.notes[n];
        const int32_t x0 = PitchAreaX(l, S, line, note.startTime);
        const int32_t x1 = PitchAreaX(l, S, line, note.endTime);
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
    const size_t n = trail->size();
    if (n == 0) {
        trail->push_back(point);
        return;
    }
    TrailPoint& last = trail->back();
    if (last.silenceAfter) {  // the first point after a pause starts a new run
        if (last.x != point.x) trail->push_back(point);
        return;
    }
    if (n >= 2 && !(*trail)[n - 2].silenceAfter && (*trail)[n - 2].y == last.y && last.y == point.y) {
        last = point;  // the run grows
        return;
    }
    if (last.x == point.x) return;
    if (last.y == point.y) {
        trail->push_back(point);
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
    trail->push_back(copy);
    trail->push_back(point);
}

bool ComposeLyricsFrame(const SceneInputs& in, const PlayState& state, DibSurface* frame, PitchTrail* trail,
                        const ScoreDisplay& score, CanvasUnderlay* underlay) {
    const SongInfo& song = in.song;
    const uint32_t k = in.currentLine;
    if (!song.lines || k >= song.lineCount || !in.glyphs || !frame->pixels) return false;
    const RendererLayout& l = in.layout;
    const int32_t W = frame->width;
    const uint32_t t = state.timeMs;

    // The current line, or the next one when the current one is not to be shown.
    int32_t p = LineProgress(in.glyphs, l, song.lines[k], t);
    uint32_t s = k;
    if (p == kNotShown && uint64_t(k) + 1 < song.lineCount) {
        p = LineProgress(in.glyphs, l, song.lines[k + 1], t);
        s = k + 1;
    }
    const LineStrip* notes = nullptr;
    if (p != kNotShown) {
        const LineStrip& found = FindStrip(in.notes, s);
        if (!IsNotFound(found) && l.pitchAreaLeft >= 0) notes = &found;
    }

    // The background and the shown line's note bars: nothing is drawn between them.
    FrameCanvas canvas(frame, SceneTakesFastWay());
    canvas.Clear(int64_t(l.topMargin) + l.pitchAreaHeight);
    if (notes)
        canvas.BackgroundAndStrip(l.topMargin, in.background, in.backgroundPremultiplied, WholeSurface(in.background),
                                  l.pitchAreaLeft, l.topMargin, *notes, WholeSurface(*notes), kClipToDestination,
                                  Clamp32(int64_t(W) - l.pitchAreaRight), underlay);
    else
        canvas.Background(l.topMargin, in.background, in.backgroundPremultiplied, WholeSurface(in.background));

    if (p != kNotShown) {
        const int32_t q = std::clamp(p, 0, W);
        if (p >= 0) {
            // The trail belongs to the line being sung: a point is added only while
            // the time lies within the current line, so that no point lands outside
            // its extent (late in a lead-in the progress is already 0 although the
            // line has not begun, and the next line's lead-in can start before the
            // current line's end is passed).
            // Silence adds no point and breaks the trail, so that no bar is drawn
            // over a pause; a pitch outside the song's range is held at the edge
            // of the pitch area.
            const SongLine& line = song.lines[k];
            if (t >= line.startTime && t <= line.endTime) {
                if (state.pitch > kSilentPitch) {
                    const float pitch = std::clamp(state.pitch, song.minPitch, song.maxPitch);
                    TrailPoint point;
                    point.x = PitchAreaX(l, PitchAreaWidth(l, W), line, t);
                    point.y = Clamp32(int64_t(l.topMargin) +
                                      PitchToY(pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight));
                    AddTrailPoint(in, W, trail, point);
                } else if (!trail->empty()) {
                    trail->back().silenceAfter = true;
                }
            }
            DrawTrail(in, &canvas, *trail);
        }
        DrawLyricRow(in, &canvas, s, q);
        DrawLyricRow(in, &canvas, s + 1, 0);
        DrawSlider(in, &canvas, s, p);
        UpdateScoreDisplay(score, &canvas, in.atlas, in.images, l);
    }
    canvas.Finish();
    return true;
}
