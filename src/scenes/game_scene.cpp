// game_scene.cpp - ComposeGameFrame: the song scrolls right to left under the
// time marker; the cursor shows the singer's pitch against the current note.
//
//   left = trunc(pixelsPerMs * t) - timeMarkerX,  right = left + W
//   a strip pixel at timeline x is drawn at frame x - left
//   angle: 0 within pitchTolerance; too low (d > 0) min(d - tol, 30);
//          too high min(330 - tol - d, 359)
#include <algorithm>
#include <cmath>

#include "core/numeric.h"
#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "imaging/cursor_frames.h"
#include "imaging/skin.h"
#include "scenes/scenes.h"
#include "text/line_strips.h"
#include "text/note_strips.h"

namespace {

// Draws the visible part of every strip of `queue` at height y.
void DrawScrollingStrips(CGDIRendererImpl* r, const StripQueue& queue, int64_t left, int64_t right, int64_t y) {
    for (const LineStrip& strip : queue) {
        const int64_t o = strip.x, e = o + strip.width;
        if (o >= right) break;  // later strips start even further right
        if (e <= left) continue;
        const int64_t from = std::max(o, left), to = std::min(e, right);
        BlendOntoFrame(r, strip.pixels, strip.stride, from - left, y, from - o, 0, to - from, strip.height);
    }
}

void DrawCursor(CGDIRendererImpl* r, const PlayState& state, int64_t B) {
    const SongInfo& song = r->song;
    const RendererLayout& l = r->layout;
    if (!(state.pitch > 1e-8f)) return;  // no voice (NaN included)
    const int32_t u0 = PitchToY(state.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
    if (u0 <= 0) return;
    const int64_t u = std::min<int64_t>(u0, l.pitchAreaHeight);
    if (!song.lines || r->currentLine >= song.lineCount) return;
    const SongLine& line = song.lines[r->currentLine];
    const uint32_t t = state.timeMs;
    const SongNote* note = nullptr;
    for (uint32_t n = 0; line.notes && n < line.noteCount; ++n)
        if (line.notes[n].startTime <= t && t <= line.notes[n].endTime) {
            note = &line.notes[n];
            break;
        }
    if (!note) return;
    const int64_t E = PitchToY(note->pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
    const int64_t d = u - E;
    const auto found = r->cursorIndex.find(CursorAngle(d, l.pitchTolerance));
    if (found == r->cursorIndex.end()) return;
    const CursorFrame& frame = found->second;
    const int64_t x = int64_t(l.timeMarkerX) - (int64_t(frame.right) - frame.left);
    if (x < 0) return;
    const int64_t y = B + E + r->images[kImageWaveYellowM].height / 2 - frame.tipY;
    // A cell recorded wider or taller than the strip is read only where the strip is.
    ImageRect cell;
    if (!CursorCellInStrip(frame, r->cursorStrip, &cell)) return;
    BlendOntoFrame(r, r->cursorStrip.pixels, r->cursorStrip.stride, x + (cell.x - frame.left),
                   y + (cell.y - frame.top), cell.x, cell.y, cell.width, cell.height, 255, B + l.pitchAreaHeight);
}

}  // namespace

int32_t CursorAngle(int64_t d, int32_t tolerance) {
    int64_t angle = 0;
    if (std::llabs(d) > tolerance)
        angle = d > 0 ? std::min<int64_t>(d - tolerance, 30) : std::min<int64_t>(330 - int64_t(tolerance) - d, 359);
    return int32_t(std::clamp<int64_t>(angle, INT32_MIN, INT32_MAX));
}

void ComposeGameFrame(CGDIRendererImpl* r, const PlayState& state) {
    if (!r->frame.pixels) return;
    const RendererLayout& l = r->layout;
    const int64_t W = r->width;
    const int64_t B = int64_t(l.topMargin) + l.lyricRowHeight;
    ++r->framesThisSecond;
    const int64_t left = int64_t(TimeToPixels(state.timeMs, l.pixelsPerMs)) - l.timeMarkerX;
    const int64_t right = left + W;

    ClearFrame(r, B + l.pitchAreaHeight);
    BlendOntoFrame(r, r->gameStrip.pixels, r->gameStrip.stride, 0, B, 0, 0, std::min<int64_t>(W, r->gameStrip.width),
                   std::min<int64_t>(l.pitchAreaHeight, r->gameStrip.height));
    DrawScrollingStrips(r, r->gameNoteStrips, left, right, B);
    DrawScrollingStrips(r, r->gameTextStrips, left, right, B + l.pitchAreaHeight);
    DrawCursor(r, state, B);
    UpdateScoreDisplay(r);
    PremultiplyAlpha(&r->frame);
}
