// renderer_views.cpp - building the views of the renderer's members.
#include "core/renderer_views.h"

LineStripInputs StripInputsOf(const CGDIRendererImpl& r) {
    return LineStripInputs{r.song, r.layout, r.width, r.glyphCache.get(), r.atlas, r.images};
}

ModeStrips StripsOf(CGDIRendererImpl* r, int32_t mode) {
    if (mode == kGameMode) return ModeStrips{mode, {&r->gameNoteStrips, &r->gameTextStrips, nullptr}};
    if (mode == kLyricsMode)
        return ModeStrips{mode, {&r->lyricsNoteStrips, &r->lyricsUnsungStrips, &r->lyricsSungStrips}};
    return ModeStrips{mode, {nullptr, nullptr, nullptr}};
}

SceneInputs SceneOf(const CGDIRendererImpl& r, int32_t mode) {
    const bool game = mode == kGameMode;
    return SceneInputs{r.song, r.currentLine, r.glyphCache.get(), r.layout, r.width,
                       game ? r.gameStrip : r.lyricsStrip,
                       game ? r.gameStripPremultiplied : r.lyricsStripPremultiplied, r.atlas, r.images,
                       r.cursorStrip, r.cursorIndex, game ? r.gameNoteStrips : r.lyricsNoteStrips,
                       game ? r.gameTextStrips : r.lyricsUnsungStrips,
                       r.lyricsSungStrips};
}

ScoreDisplay ScoreOf(CGDIRendererImpl* r) {
    return ScoreDisplay{r->scoreValue,   r->scoreGrade, r->scorePhase,   r->scoreAlpha,
                        r->fadeInFrames, r->holdFrames, r->fadeOutFrames};
}

DisplayWindowState WindowStateOf(CGDIRendererImpl* r) {
    return DisplayWindowState{r->floating,    r->window,      r->hostWindow,      r->posX,
                              r->posY,        r->dragging,    r->dragAnchorX,     r->dragAnchorY,
                              r->framesThisSecond, r->framesLastSecond};
}
