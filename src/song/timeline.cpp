// timeline.cpp - UpdateTimeline, the strip queues and their window.
#include "song/timeline.h"

#include "core/renderer_impl.h"
#include "text/line_strips.h"

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// The window never holds more than this many lines.
constexpr uint32_t kWindowLines = 4;

}  // namespace

const LineStrip& FindStrip(const StripQueue& queue, uint32_t lineIndex) {
    static const LineStrip notFound;  // empty, tag all ones
    for (const LineStrip& strip : queue)
        if (StripLineIndex(strip) == lineIndex) return strip;
    return notFound;
}

LineStrip* FindStripToPaint(StripQueue* queue, uint32_t lineIndex) {
    for (LineStrip& strip : *queue)
        if (StripLineIndex(strip) == lineIndex) return &strip;
    return nullptr;
}

bool IsNotFound(const LineStrip& strip) { return StripLineIndex(strip) == kNone; }

void ClearStripQueue(StripQueue* queue) {
    for (LineStrip& strip : *queue) ReleaseDibSurface(&strip);
    queue->clear();
}

void PruneStripQueue(StripQueue* queue, uint32_t lo, uint32_t hi, uint32_t* missingLo, uint32_t* missingHi) {
    // The window as a small set: bit k stands for line lo + k.
    const uint32_t span = lo <= hi ? hi - lo + 1 : 0;
    const uint32_t count = span < kWindowLines ? span : kWindowLines;
    uint32_t missing = (1u << count) - 1u;
    for (auto it = queue->begin(); it != queue->end();) {
        const uint32_t line = StripLineIndex(*it);
        if (lo <= hi && line >= lo && line <= hi) {
            if (line - lo < count) missing &= ~(1u << (line - lo));
            ++it;
        } else {
            ReleaseDibSurface(&*it);
            it = queue->erase(it);
        }
    }
    *missingLo = kNone;
    *missingHi = kNone;
    for (uint32_t k = 0; k < count; ++k) {
        if (!(missing & (1u << k))) continue;
        if (*missingLo == kNone) *missingLo = lo + k;
        *missingHi = lo + k;
    }
}

void ClearAllStripQueues(CGDIRendererImpl* r) {
    ClearStripQueue(&r->lyricsUnsungStrips);
    ClearStripQueue(&r->lyricsSungStrips);
    ClearStripQueue(&r->lyricsNoteStrips);
    ClearStripQueue(&r->gameTextStrips);
    ClearStripQueue(&r->gameNoteStrips);
}

bool UpdateTimeline(CGDIRendererImpl* r, uint32_t time) {
    const SongInfo& song = r->song;
    if (time > song.endTime) return false;
    if (time < song.startTime) {
        if (r->mode == 1 && !r->gameNoteStrips.empty() && !r->gameTextStrips.empty()) return false;
        if (r->mode == 0 && !r->lyricsNoteStrips.empty() && !r->lyricsUnsungStrips.empty() &&
            !r->lyricsSungStrips.empty())
            return false;
    }

    // Advance the current line: past lines that are over, onto the one being sung.
    // In a pause it stays on the line that has ended.
    if (song.lines) {
        for (uint32_t i = r->currentLine; i < song.lineCount; ++i) {
            const SongLine& line = song.lines[i];
            if (line.endTime < time) {
                if (!r->pitchTrail.empty()) r->pitchTrail.clear();
            } else if (time >= line.startTime) {
                if (i != r->currentLine) {
                    r->pitchTrail.clear();
                    r->currentLine = i;
                }
                break;
            }
        }
    }

    uint32_t missingLo = kNone, missingHi = kNone, ignoredLo = kNone, ignoredHi = kNone;
    if (r->mode == 1) {
        const uint32_t lo = r->currentLine == 0 ? 0 : r->currentLine - 1;
        const uint32_t hi = lo + 3;
        PruneStripQueue(&r->gameNoteStrips, lo, hi, &missingLo, &missingHi);
        PruneStripQueue(&r->gameTextStrips, lo, hi, &ignoredLo, &ignoredHi);
        if (missingLo != kNone) PrepareGameLines(r, missingLo, missingHi);
    } else if (r->mode == 0) {
        const uint32_t lo = r->currentLine;
        const uint32_t hi = lo + 3;
        PruneStripQueue(&r->lyricsNoteStrips, lo, hi, &missingLo, &missingHi);
        PruneStripQueue(&r->lyricsUnsungStrips, lo, hi, &ignoredLo, &ignoredHi);
        PruneStripQueue(&r->lyricsSungStrips, lo, hi, &ignoredLo, &ignoredHi);
        if (missingLo != kNone) PrepareLyricsLines(r, missingLo, missingHi);
    }
    return true;
}
