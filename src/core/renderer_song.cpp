// renderer_song.cpp - SetSong and ClearSong: the song copy, the play and score state,
// the prepared lines and the glyph cache.
#include "core/float_environment.h"
#include "core/renderer_impl.h"
#include "song/song_copy.h"
#include "song/timeline.h"
#include "text/glyph_cache.h"
#include "text/line_strips.h"

#include <new>

namespace {

void ResetScoreDisplay(CGDIRendererImpl* r) {
    r->scoreValue = 0;
    r->scoreGrade = 0;
    r->scorePhase = 0;
    r->scoreAlpha = 127;
    r->fadeInFrames = 30;
    r->holdFrames = 30;
    r->fadeOutFrames = 20;
}

}  // namespace

RENDERER_ENTRY bool CGDIRendererImpl::SetSong(SongInfo* source) {
    FloatEnvironmentScope floatScope;
    if (!source || !source->lines) return false;
    _SongInfoCopy(&song, source);  // a rejected record leaves the previous copy or an empty one
    currentLine = 0;
    ResetScoreDisplay(this);
    pitchTrail.clear();
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
    ClearAllStripQueues(this);
    const std::u16string text = CollectSongText(song);
    if (glyphCache) {
        DestroyGlyphCache(glyphCache);
        delete glyphCache;
        glyphCache = nullptr;
    }
    glyphCache = new (std::nothrow) CGlyphCache();
    if (glyphCache) BuildGlyphCache(glyphCache, text.c_str(), window);
    secondsTotal = 0.0f;
    msTotal = 0;
    if (mode == 1)
        PrepareGameLines(this, 0, 3);
    else if (mode == 0)
        PrepareLyricsLines(this, 0, 3);
    return true;
}

RENDERER_ENTRY void CGDIRendererImpl::ClearSong() {
    FloatEnvironmentScope floatScope;
    DestroySongCopy(&song);
    currentLine = UINT32_MAX;
    ResetScoreDisplay(this);
    framesLastSecond = 0;
    framesThisSecond = 0;
    started = false;
    ClearAllStripQueues(this);
}
