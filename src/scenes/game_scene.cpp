// game_scene.cpp - ComposeGameFrame: the song scrolls right to left under the
// time marker; the cursor shows the singer's pitch against the current note.
//
//   left = trunc(pixelsPerMs * t) - timeMarkerX,  right = left + W
//   a strip pixel at timeline x is drawn at frame x - left
#include <algorithm>

#include "base/mappings.h"
#include "imaging/blit.h"
#include "imaging/skin.h"
#include "scenes/scenes.h"

namespace {

// Draws the visible part of every strip of `queue` at height y.  The queue is in
// ascending line order, so the walk ends at the first strip beyond the right edge.
void DrawScrollingStrips(FrameCanvas* frame, const StripQueue& queue, int64_t left, int64_t right, int64_t y) {
    for (const LineStrip& strip : queue) {
        const int64_t o = strip.x, e = o + strip.width;
        if (o >= right) break;
        if (e <= left) continue;
        const int64_t from = std::max(o, left), to = std::min(e, right);
        frame->BlendStrip(from - left, y, strip, RectOf(from - o, 0, to - from, strip.height));
    }
}

// The cursor sits at the time marker at the height of the note being sung, turned
// by how far the singer is off it; B is the top of the pitch area.
void DrawCursor(const SceneInputs& in, const PlayState& state, FrameCanvas* frame, int64_t B) {
    const SongInfo& song = in.song;
    const RendererLayout& l = in.layout;
    if (!(state.pitch > kSilentPitch)) return;  // no voice (NaN included)
    const int32_t u0 = PitchToY(state.pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
    if (u0 <= 0) return;
    const int64_t u = std::min<int64_t>(u0, l.pitchAreaHeight);
    if (!song.lines || in.currentLine >= song.lineCount) return;
    const SongLine& line = song.lines[in.currentLine];
    const uint32_t t = state.timeMs;
    const SongNote* note = nullptr;
    for (uint32_t n = 0; line.notes && n < line.noteCount; ++n)
        if (line.notes[n].startTime <= t && t <= line.notes[n].endTime) {
            note = &line.notes[n];
            break;
        }
    if (!note) return;
    const int64_t E = PitchToY(note->pitch, song.minPitch, song.maxPitch, l.pitchAreaHeight, l.noteHeight);
    const auto found = in.cursorIndex.find(CursorAngle(u - E, l.pitchTolerance));
    if (found == in.cursorIndex.end()) return;
    const CursorFrame& cursor = found->second;
    const int64_t x = int64_t(l.timeMarkerX) - (int64_t(cursor.right) - cursor.left);
    if (x < 0) return;
    const int64_t y = B + E + in.images[kImageWaveYellowM].height / 2 - cursor.tipY;
    // A cell recorded wider or taller than the strip is read only where the strip is.
    ImageRect cell;
    if (!CursorCellInStrip(cursor, in.cursorStrip, &cell)) return;
    frame->Blend(x + (cell.x - cursor.left), y + (cell.y - cursor.top), in.cursorStrip, cell, 255,
                 B + l.pitchAreaHeight);
}

}  // namespace

bool ComposeGameFrame(const SceneInputs& in, const PlayState& state, DibSurface* frame,
                      const ScoreDisplay& score) {
    if (!frame->pixels) return false;
    const RendererLayout& l = in.layout;
    const int64_t W = in.windowWidth;
    const int64_t B = int64_t(l.topMargin) + l.lyricRowHeight;
    const int64_t left = int64_t(TimeToPixels(state.timeMs, l.pixelsPerMs)) - l.timeMarkerX;
    const int64_t right = left + W;

    FrameCanvas canvas(frame, SceneTakesFastWay());
    canvas.Clear(B + l.pitchAreaHeight);
    canvas.Background(B, in.background, in.backgroundPremultiplied,
                      RectOf(0, 0, std::min<int64_t>(W, in.background.width),
                             std::min<int64_t>(l.pitchAreaHeight, in.background.height)));
    DrawScrollingStrips(&canvas, in.notes, left, right, B);
    DrawScrollingStrips(&canvas, in.text, left, right, B + l.pitchAreaHeight);
    DrawCursor(in, state, &canvas, B);
    UpdateScoreDisplay(score, &canvas, in.atlas, in.images, l);
    canvas.Finish();
    return true;
}
