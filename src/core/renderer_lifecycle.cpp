// renderer_lifecycle.cpp - construction, initialisation and teardown, skin reload,
// position, showing and hiding, mode and the score display's start.
//
// Every IRenderer operation is an entry point from the host: it realigns the stack
// (RENDERER_ENTRY) and runs with the default floating-point state.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/float_environment.h"
#include "base/numeric.h"
#include "core/frame_update.h"
#include "core/layout.h"
#include "core/renderer_impl.h"
#include "core/renderer_views.h"
#include "imaging/blit.h"
#include "imaging/cursor_frames.h"
#include "imaging/skin.h"
#include "platform/platform.h"
#include "window/display_window.h"

CGDIRendererImpl::CGDIRendererImpl() : layout(DefaultLayout()) {}

namespace {

// Fills a background strip with `image` repeated from x = 0 to the strip's width.
// An image without a positive width would never advance: the strip stays transparent.
void TileBackground(DibSurface* strip, const DibSurface& atlas, const ImageRect& image) {
    if (!strip->pixels || !atlas.pixels || image.width <= 0) return;
    for (int64_t x = 0; x < strip->width; x += image.width) CopyRect(strip, x, 0, atlas, image);
}

// Says in the debugger output why initialisation refused a size.
void LogRefusedWindow(int32_t width, int32_t height) {
    char text[128];
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text - 1, "Init: a window of %d x %d cannot be made\r\n", width, height);
    platform::WriteDebugOutput(text);
}

// Says in the debugger output that the skin at `path` could not be applied.
void LogSkinNotLoaded(const std::string& path) {
    char text[512];
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text - 1, "Skin not loaded: %s\r\n", path.c_str());
    platform::WriteDebugOutput(text);
}

// Releases the surfaces and handles that initialisation made.
void ReleaseWindowResources(CGDIRendererImpl* r) {
    ReleaseDibSurface(&r->frame);
    ReleaseDibSurface(&r->gameStrip);
    ReleaseDibSurface(&r->lyricsStrip);
    ReleaseDibSurface(&r->gameStripPremultiplied);
    ReleaseDibSurface(&r->lyricsStripPremultiplied);
    ReleaseUnderlay(&r->lyricsUnderlay);  // made from the backgrounds
    DeleteMemoryDC(r->memoryDC);
    r->memoryDC = nullptr;
}

}  // namespace

RENDERER_ENTRY bool CGDIRendererImpl::Init(const char* skinDir, RendererWindowHandle host, int x, int y,
                                           RendererLayout* hostLayout, int initMode, bool initFloating) {
    FloatEnvironmentScope floatScope;
    // A layout whose window cannot exist is refused before it replaces the one in use.
    if (hostLayout && !WindowFits(*hostLayout, hostLayout->windowWidth, hostLayout->windowHeight)) {
        floating = initFloating;
        LogRefusedWindow(hostLayout->windowWidth, hostLayout->windowHeight);
        return false;
    }
    if (hostLayout) std::memcpy(&layout, hostLayout, sizeof layout);
    return InitWithSize(skinDir, host, x, y, layout.windowWidth, layout.windowHeight, initMode, initFloating);
}

RENDERER_ENTRY bool CGDIRendererImpl::InitWithSize(const char* skinDir, RendererWindowHandle host, int x, int y,
                                                   int initWidth, int initHeight, int initMode,
                                                   bool initFloating) {
    FloatEnvironmentScope floatScope;
    floating = initFloating;  // kept even when initialisation fails
    if (!IsValidWindow(host)) return false;
    if (!WindowFits(layout, initWidth, initHeight)) {
        LogRefusedWindow(initWidth, initHeight);
        return false;  // nothing created, and an earlier initialisation stays as it is
    }

    // A second initialisation without Uninit must not leak the first one's window
    // and surfaces.
    if (window || frame.bitmap) {
        StopFrameTimer(window);
        ReleaseWindowResources(this);
        DestroyDisplayWindow(window);
        window = nullptr;
    }

    std::string skinPath = skinDir ? skinDir : "";
    skinPath += "\\renderer.imageset";
    // A missing or broken skin does not stop initialisation (a host may load one
    // later); it is reported.
    if (!ApplySkinFile(&imagesets, &atlas, images, skinPath.c_str())) LogSkinNotLoaded(skinPath);

    hostWindow = host;
    int32_t hostLeft = 0, hostTop = 0;
    GetWindowScreenOrigin(host, &hostLeft, &hostTop);
    height = initHeight;
    mode = initMode;
    posX = ClampWindowCoordinate(int64_t(hostLeft) + x);
    posY = ClampWindowCoordinate(int64_t(hostTop) + y);
    width = initWidth;
    if (height < layout.windowHeight) height = layout.windowHeight;

    window = CreateDisplayWindow(floating, host, posX, posY, width, height);
    if (!window) return false;

    CreateDibSurface(width, height, &frame);
    memoryDC = CreateScreenMemoryDC();

    CreateDibSurface(width, layout.pitchAreaHeight, &gameStrip);
    TileBackground(&gameStrip, atlas, images[kImageGameBkg]);
    if (layout.timeMarkerX >= 0 && gameStrip.pixels) {
        CopyRect(&gameStrip, layout.timeMarkerX, 0, atlas, images[kImageGameBkgSeperator]);
    }
    CreateDibSurface(width, layout.pitchAreaHeight, &lyricsStrip);
    TileBackground(&lyricsStrip, atlas, images[kImageKtvBkg]);
    MakePremultipliedCopy(gameStrip, &gameStripPremultiplied);
    MakePremultipliedCopy(lyricsStrip, &lyricsStripPremultiplied);

    // Lines prepared for an earlier window or layout are made again for this one;
    // the song and its glyphs stay, so a host that re-initialises mid-song keeps
    // its lyrics on screen.
    ClearAllStripQueues(this);

    // The cursor frames are rebuilt from this skin; frames of an earlier
    // initialisation would not describe the new strip.
    ReleaseDibSurface(&cursorStrip);
    cursorIndex.clear();
    BuildCursorFrames(atlas, images[kImageCursorGreen], images[kImageCursorRed], images[kImageCursorYellow],
                      &cursorStrip, &cursorIndex);

    HideWindow(window);
    StartFrameTimer(window);
    return true;
}

// Besides what the window owns, the surfaces are released in full and the handles
// cleared, so that a call after Uninit finds nothing stale to draw into or present.
// The cursor strip goes too (the next initialisation makes a new one); the song
// copy and its glyph cache stay until ClearSong or the next SetSong, so that a
// host may initialise again mid-song.
RENDERER_ENTRY bool CGDIRendererImpl::Uninit() {
    FloatEnvironmentScope floatScope;
    StopFrameTimer(window);
    ReleaseWindowResources(this);
    ReleaseDibSurface(&atlas);
    ReleaseDibSurface(&cursorStrip);
    cursorIndex.clear();
    DestroyDisplayWindow(window);
    window = nullptr;
    dragging = false;
    return UnregisterDisplayWindowClass();
}

RENDERER_ENTRY bool CGDIRendererImpl::LoadSkin(const char* imagesetPath) {
    FloatEnvironmentScope floatScope;
    if (!imagesetPath) return false;
    return ApplySkinFile(&imagesets, &atlas, images, imagesetPath);  // false: the current picture stays
}

RENDERER_ENTRY void CGDIRendererImpl::SetPosition(int x, int y) {
    FloatEnvironmentScope floatScope;
    posX = ClampWindowCoordinate(x);
    posY = ClampWindowCoordinate(y);
    char text[512];
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text - 1, "SetWindowPos x=%d,y=%d\r\n", x, y);
    platform::WriteDebugOutput(text);
    PresentFrame(window, memoryDC, frame, posX, posY, width, height);
}

RENDERER_ENTRY void CGDIRendererImpl::GetPosition(int* x, int* y) {
    FloatEnvironmentScope floatScope;
    if (x) *x = posX;
    if (y) *y = posY;
}

RENDERER_ENTRY void CGDIRendererImpl::Show() {
    FloatEnvironmentScope floatScope;
    std::memset(&playState, 0, sizeof playState);
    RunFrameUpdate(this, 0);
    PresentFrame(window, memoryDC, frame, posX, posY, width, height);
    ShowWindowNoActivate(window);
}

RENDERER_ENTRY void CGDIRendererImpl::Present() {
    FloatEnvironmentScope floatScope;
    PresentFrame(window, memoryDC, frame, posX, posY, width, height);
}

RENDERER_ENTRY void CGDIRendererImpl::Hide() {
    FloatEnvironmentScope floatScope;
    HideWindow(window);
}

RENDERER_ENTRY void CGDIRendererImpl::SetMode(int newMode) {
    FloatEnvironmentScope floatScope;
    mode = newMode;
}

RENDERER_ENTRY void CGDIRendererImpl::SetScore(ScoreInfo* score) {
    FloatEnvironmentScope floatScope;
    if (!score) return;
    StartScoreDisplay(ScoreOf(this), score->score, score->grade);
}

RENDERER_ENTRY void CGDIRendererImpl::Reserved17(uint32_t) {}
RENDERER_ENTRY void CGDIRendererImpl::Reserved18() {}
