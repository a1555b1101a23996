// renderer_song.cpp - SetSong and ClearSong: the song copy, the play and score state,
// the prepared lines and the glyph cache.
#include <new>

#include "base/float_environment.h"
#include "core/frame_update.h"
#include "core/renderer_impl.h"
#include "core/renderer_views.h"
#include "song/song_copy.h"

// Empties the five queues, the lyrics mode's first.
void ClearAllStripQueues(CGDIRendererImpl* r) {
    ClearStripQueue(&r->lyricsUnsungStrips);
    ClearStripQueue(&r->lyricsSungStrips);
    ClearStripQueue(&r->lyricsNoteStrips);
    ClearStripQueue(&r->gameTextStrips);
    ClearStripQueue(&r->gameNoteStrips);
}

RENDERER_ENTRY bool CGDIRendererImpl::SetSong(SongInfo* source) {
    FloatEnvironmentScope floatScope;
    if (!source || !source->lines) return false;
    // A refused record leaves the previous copy (no lines) or an empty one, which
    // the display then shows; either way the call says it did not take the song.
    const bool copied = _SongInfoCopy(&song, source);
    currentLine = 0;
    ResetScoreDisplay(ScoreOf(this));
    pitchTrail.clear();
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
    ClearAllStripQueues(this);
    const std::u16string text = CollectSongText(song);
    glyphCache.reset();
    glyphCache.reset(new (std::nothrow) CGlyphCache());
    if (glyphCache) BuildGlyphCache(glyphCache.get(), text.c_str(), window);
    secondsTotal = 0.0f;
    msTotal = 0;
    PrepareModeLines(this, 0, kWindowLines - 1);
    return copied;
}

RENDERER_ENTRY void CGDIRendererImpl::ClearSong() {
    FloatEnvironmentScope floatScope;
    DestroySongCopy(&song);
    currentLine = UINT32_MAX;
    ResetScoreDisplay(ScoreOf(this));
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
    ClearAllStripQueues(this);
}
