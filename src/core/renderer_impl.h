// renderer_impl.h - CGDIRendererImpl, the one renderer object behind IRenderer.
//
// The object is created by the first CreateRenderer call and never destroyed.  Its
// members are plain data that the free routines of the other subsystems (window,
// song, imaging, text, scenes) read and write; the members are listed in their
// declaration order with their values after construction.
#ifndef RENDERER_CORE_RENDERER_IMPL_H
#define RENDERER_CORE_RENDERER_IMPL_H

#include <cstdint>
#include <vector>

#include "imaging/cursor_frames.h"
#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "imaging/imageset.h"
#include "renderer.h"
#include "song/line_strip.h"

class CGlyphCache;

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

    // --- members, in declaration order ---
    bool floating = false;                      // unowned, topmost, draggable window
    RendererWindowHandle hostWindow = nullptr;  // the host window given to initialisation
    RendererWindowHandle window = nullptr;      // the layered popup window
    int32_t posX = 0, posY = 0;                 // window top-left, screen pixels
    int32_t width = 0, height = 0;              // window and frame size
    uint32_t currentLine = 0;                   // current lyric line; all ones after ClearSong
    int32_t mode = 1;                           // 0 lyrics, 1 game
    SongInfo song = {};                         // the renderer's deep copy of the host's song
    int32_t scoreValue = 0;
    int32_t scoreGrade = 0;
    int32_t scorePhase = 0;                     // 0 off, 1 fade-in, 2 hold, 3 fade-out
    uint8_t scoreAlpha = 127;
    int32_t fadeInFrames = 30;
    int32_t holdFrames = 30;
    int32_t fadeOutFrames = 20;
    PlayState playState = {};                   // last progress record; timeMs is the clock
    bool skipNextTick = false;                  // the tick after a record update does nothing
    CGlyphCache* glyphCache = nullptr;
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
    DibSurface cursorStrip;                     // the cursor tilt frames
    void* memoryDC = nullptr;                   // screen-compatible memory DC for presenting
    bool dragging = false;
    int32_t dragAnchorX = 0, dragAnchorY = 0;   // screen mouse position at the last drag step
    int32_t framesLastSecond = 0;
    int32_t framesThisSecond = 0;
    bool started = false;                       // a record arrived since the song was set/cleared
    std::vector<TrailPoint> pitchTrail;
    CursorIndex cursorIndex;                    // angle -> where its picture lies in cursorStrip
    RendererLayout layout;
    ImageRect images[34];                       // the named skin images (see imaging/skin.h)
};

// The singleton, or null before the first successful CreateRenderer.
CGDIRendererImpl* RendererInstance();

#endif
