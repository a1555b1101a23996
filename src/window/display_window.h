// display_window.h - the layered popup window that shows the renderer's frames.
//
// Two implementations: display_window_win32.cpp (USER/GDI, the product) and
// display_window_headless.cpp (Linux: records position, visibility, timer and the
// last presented frame for tests).  The window procedure's behaviour is shared
// (display_window_proc.cpp) and reaches the system through the few calls below.
#ifndef RENDERER_WINDOW_DISPLAY_WINDOW_H
#define RENDERER_WINDOW_DISPLAY_WINDOW_H

#include <cstdint>

#include "imaging/dib_surface.h"
#include "renderer.h"

// The window class and title.
constexpr const char* kDisplayClassName = "renderer_window_class";
constexpr const char* kDisplayWindowTitle = "renderer_window";
constexpr uint32_t kDisplayClassStyle = 0x000B;          // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS
constexpr uint32_t kFloatingExStyle = 0x00080088;        // WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST
constexpr uint32_t kOwnedExStyle = 0x00080000;           // WS_EX_LAYERED
constexpr uint32_t kDisplayWindowStyle = 0x90000000;     // WS_POPUP | WS_VISIBLE
constexpr int kIconResource = 107;
constexpr uintptr_t kFrameTimerId = 1;
constexpr uint32_t kFrameTimerPeriodMs = 1000;

// Message numbers the window procedure handles (their Win32 values).
enum DisplayMessage : uint32_t {
    kMsgActivate = 0x0006,
    kMsgEraseBackground = 0x0014,
    kMsgSetCursor = 0x0020,
    kMsgTimer = 0x0113,
    kMsgMouseMove = 0x0200,
    kMsgLButtonDown = 0x0201,
    kMsgLButtonUp = 0x0202,
    kMsgLButtonDoubleClick = 0x0203,
    kMsgRButtonDown = 0x0204,
    kMsgRButtonUp = 0x0205,
    kMsgCaptureChanged = 0x0215,
};
constexpr uint32_t kClickActive = 2;  // WA_CLICKACTIVE

// The renderer's members that the window procedure reads and writes.
struct DisplayWindowState {
    bool floating;                  // unowned, topmost and draggable
    RendererWindowHandle window;    // the display window
    RendererWindowHandle hostWindow;
    int32_t& posX;                  // window position, screen pixels
    int32_t& posY;
    bool& dragging;
    int32_t& dragAnchorX;           // screen position of the mouse at the last drag step
    int32_t& dragAnchorY;
    int32_t& framesThisSecond;
    int32_t& framesLastSecond;
};

// How the window procedure reaches the renderer: the owner of the state registers
// a function that hands it over (false while there is no renderer, and the
// messages then go to the default procedure).
using DisplayStateHandler = bool (*)(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* result,
                                     bool* passToDefault);
void SetDisplayStateHandler(DisplayStateHandler handler);
bool DispatchToDisplayState(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* result,
                            bool* passToDefault);

// While held, activation messages are not answered by activating the host window
// (set around the display window's creation).
void HoldActivationHandOver(bool hold);

// Window positions are kept within this distance of the origin, far beyond any
// screen, so that moving a window never overflows.
constexpr int32_t kMaxWindowCoordinate = 1 << 24;
int32_t ClampWindowCoordinate(int64_t v);

// Creates the hidden layered window over `host` (owned by it unless `floating`):
// null when the host is not a window (and the window is owned) or creation fails.
RendererWindowHandle CreateDisplayWindow(bool floating, RendererWindowHandle host, int32_t x, int32_t y,
                                         int32_t width, int32_t height);

// Puts `frame` on the screen at (x, y) with size width x height in one layered-window
// update, through `memoryDC`.  Does nothing without a window, a bitmap or a DC.
void PresentFrame(RendererWindowHandle window, void* memoryDC, const DibSurface& frame, int32_t x, int32_t y,
                  int32_t width, int32_t height);

// Writes "GetLastError:%d" with the thread's last error code to the debugger output.
void LogLastError();

// --- window-system calls used by initialisation and teardown ---
bool IsValidWindow(RendererWindowHandle window);
bool GetWindowScreenOrigin(RendererWindowHandle window, int32_t* left, int32_t* top);
void HideWindow(RendererWindowHandle window);            // SW_HIDE
void ShowWindowNoActivate(RendererWindowHandle window);  // SW_SHOWNOACTIVATE
void StartFrameTimer(RendererWindowHandle window);
void StopFrameTimer(RendererWindowHandle window);
void DestroyDisplayWindow(RendererWindowHandle window);
bool UnregisterDisplayWindowClass();
void* CreateScreenMemoryDC();
void DeleteMemoryDC(void* dc);

// --- calls the window procedure makes ---
void ClientToScreenPoint(RendererWindowHandle window, int32_t* x, int32_t* y);
void CaptureMouse(RendererWindowHandle window);
void ReleaseMouse();
void ActivateWindow(RendererWindowHandle window);
void SetArrowCursor();

// The window procedure's own handling of one message.  Sets *passToDefault when
// the message goes on to the default window procedure (whose result is then used).
intptr_t HandleDisplayMessage(const DisplayWindowState& state, uint32_t message, uintptr_t wParam, intptr_t lParam,
                              bool* passToDefault);

#endif
