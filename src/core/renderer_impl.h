// renderer_impl.h - CGDIRendererImpl, the one renderer object behind IRenderer.
//
// The object is created by the first CreateRenderer call and never destroyed.  It
// owns every piece of state; the routines of the subsystems (song, text, scenes,
// window, imaging) are handed the members they work on, never the object itself
// (core/renderer_views.h builds those views).
#ifndef RENDERER_CORE_RENDERER_IMPL_H
#define RENDERER_CORE_RENDERER_IMPL_H

#include <cstdint>
#include <memory>

#include "imaging/cursor_frames.h"
#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "imaging/imageset.h"
#include "imaging/skin.h"
#include "renderer.h"
#include "scenes/score_display.h"
#include "song/timeline.h"
#include "text/glyph_cache.h"
#include "text/strip_queue.h"

class CGDIRendererImpl final : public IRenderer {
public:
    CGDIRendererImpl();

    bool RENDERER_THISCALL Init(const char* skinDir, RendererWindowHandle host, int x, int y,
                                RendererLayout* layout, int mode, bool floating) override;
    bool RENDERER_THISCALL InitWithSize(const char* skinDir, RendererWindowHandle host, int x, int y, int width,
                                        int height, int mode, bool floating) override;
    bool RENDERER_THISCALL Uninit() override;
    bool RENDERER_THISCALL LoadSkin(const char* imagesetPath) override;
    void RENDERER_THISCALL SetPosition(int x, int y) override;
    void RENDERER_THISCALL GetPosition(int* x, int* y) override;
    void RENDERER_THISCALL Show() override;
    void RENDERER_THISCALL Hide() override;
    bool RENDERER_THISCALL SetSong(SongInfo* song) override;
    void RENDERER_THISCALL ClearSong() override;
    void RENDERER_THISCALL SetMode(int mode) override;
    void RENDERER_THISCALL UpdateTimeF(float elapsedSeconds, PlayState* state) override;
    void RENDERER_THISCALL UpdateTime(int elapsedMs, PlayState* state) override;
    void RENDERER_THISCALL TickF(float elapsedSeconds) override;
    void RENDERER_THISCALL Tick(int elapsedMs) override;
    void RENDERER_THISCALL Present() override;
    void RENDERER_THISCALL SetScore(ScoreInfo* score) override;
    void RENDERER_THISCALL Reserved17(uint32_t value) override;
    void RENDERER_THISCALL Reserved18() override;

    // --- members ---
    bool floating = false;                      // unowned, topmost, draggable window
    RendererWindowHandle hostWindow = nullptr;  // the host window given to initialisation
    RendererWindowHandle window = nullptr;      // the layered popup window
    int32_t posX = 0, posY = 0;                 // window top-left, screen pixels
    int32_t width = 0, height = 0;              // window and frame size
    uint32_t currentLine = 0;                   // current lyric line; all ones after ClearSong
    int32_t mode = kGameMode;                   // a DisplayMode, or any other value: nothing shown
    SongInfo song = {};                         // the renderer's deep copy of the host's song
    int32_t scoreValue = 0;
    int32_t scoreGrade = 0;
    int32_t scorePhase = kScoreOff;             // a ScorePhase
    uint8_t scoreAlpha = kScoreStartAlpha;
    int32_t fadeInFrames = kScoreFadeInFrames;
    int32_t holdFrames = kScoreHoldFrames;
    int32_t fadeOutFrames = kScoreFadeOutFrames;
    PlayState playState = {};                   // last progress record; timeMs is the clock
    bool skipNextTick = false;                  // the tick after a record update does nothing
    std::unique_ptr<CGlyphCache> glyphCache;   // the glyphs of the current song
    float secondsTotal = 0.0f;                  // seconds fed to the float clock since SetSong
    uint32_t msTotal = 0;                       // whole ms the float clock handed out since SetSong
    StripQueue gameNoteStrips;
    StripQueue gameTextStrips;
    StripQueue lyricsNoteStrips;
    StripQueue lyricsUnsungStrips;
    StripQueue lyricsSungStrips;
    DibSurface atlas;                           // the skin's image file
    ImagesetRegistry imagesets;                 // every imageset parsed so far
    DibSurface frame;                           // what the scenes compose and Present shows
    DibSurface gameStrip;                       // width x pitchAreaHeight game background
    DibSurface lyricsStrip;                     // width x pitchAreaHeight lyrics background
    DibSurface gameStripPremultiplied;          // the two backgrounds premultiplied, for the scenes
    DibSurface lyricsStripPremultiplied;
    CanvasUnderlay lyricsUnderlay;              // the lyrics background with the shown note bars
    DibSurface cursorStrip;                     // the cursor tilt frames
    void* memoryDC = nullptr;                   // screen-compatible memory DC for presenting
    bool dragging = false;
    int32_t dragAnchorX = 0, dragAnchorY = 0;   // screen mouse position at the last drag step
    int32_t framesLastSecond = 0;
    int32_t framesThisSecond = 0;
    bool started = false;                       // a record arrived since the song was set/cleared
    PitchTrail pitchTrail;
    CursorIndex cursorIndex;                    // angle -> where its picture lies in cursorStrip
    RendererLayout layout;
    ImageRect images[kSkinImageCount];          // the named skin images
};

// The singleton, or null before the first successful CreateRenderer.
CGDIRendererImpl* RendererInstance();

#endif
