// display_window_headless.cpp - the display window without a window system (Linux).
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/platform.h"
#include "window/display_window.h"
#include "window/headless_window.h"

namespace {

struct HeadlessSystem {
    std::set<RendererWindowHandle> live;
    bool classRegistered = false;
    RendererWindowHandle capture = nullptr;
    RendererWindowHandle active = nullptr;
    int defaultProcCalls = 0;
    int arrowCursorCalls = 0;
    bool failNextCreation = false;
    int liveMemoryDCs = 0;
    int activations = 0;
    int lastError = 0;
};

HeadlessSystem& System() {
    static HeadlessSystem system;
    return system;
}

RendererWindowHandle NewWindow() {
    RendererWindowHandle w = new HWND__();
    System().live.insert(w);
    return w;
}

void FreeWindow(RendererWindowHandle w) {
    if (System().live.erase(w) == 0) return;
    if (System().capture == w) System().capture = nullptr;
    if (System().active == w) System().active = nullptr;
    delete w;
}

}  // namespace

namespace headless {

RendererWindowHandle CreateHostWindow(int32_t left, int32_t top, int32_t width, int32_t height) {
    RendererWindowHandle w = NewWindow();
    w->className = "host";
    w->x = left;
    w->y = top;
    w->width = width;
    w->height = height;
    w->visible = true;
    return w;
}

void DestroyHostWindow(RendererWindowHandle window) { FreeWindow(window); }

intptr_t SendDisplayMessage(RendererWindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!IsValidWindow(window)) return 0;
    bool passToDefault = true;
    intptr_t result = 0;
    if (!DispatchToDisplayState(message, wParam, lParam, &result, &passToDefault)) passToDefault = true;
    if (passToDefault) {
        ++System().defaultProcCalls;
        result = 0;
    }
    return result;
}

bool DisplayClassRegistered() { return System().classRegistered; }
RendererWindowHandle CaptureWindow() { return System().capture; }
RendererWindowHandle ActiveWindow() { return System().active; }
int DefaultProcCalls() { return System().defaultProcCalls; }
int ArrowCursorCalls() { return System().arrowCursorCalls; }
void FailNextWindowCreation() { System().failNextCreation = true; }
int LiveMemoryDCs() { return System().liveMemoryDCs; }
int Activations() { return System().activations; }
int LiveWindows() { return int(System().live.size()); }

void ResetWindowSystem() {
    for (RendererWindowHandle w : System().live) delete w;
    System() = HeadlessSystem();
}

}  // namespace headless

void LogLastError() {
    char text[64];
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text - 1, "GetLastError:%d", System().lastError);
    platform::WriteDebugOutput(text);
}

RendererWindowHandle CreateDisplayWindow(bool floating, RendererWindowHandle host, int32_t x, int32_t y,
                                         int32_t width, int32_t height) {
    if (!floating && !IsValidWindow(host)) return nullptr;
    System().classRegistered = true;
    RendererWindowHandle w = nullptr;
    if (System().failNextCreation) {
        System().failNextCreation = false;
        System().lastError = 1407;  // ERROR_CANNOT_FIND_WND_CLASS, as a plausible code
    } else {
        w = NewWindow();
        w->className = kDisplayClassName;
        w->title = kDisplayWindowTitle;
        w->exStyle = floating ? kFloatingExStyle : kOwnedExStyle;
        w->style = kDisplayWindowStyle;
        w->owner = floating ? nullptr : host;
        w->visible = true;  // WS_VISIBLE until hidden below
    }
    if (!w) LogLastError();
    if (!IsValidWindow(w)) return nullptr;
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    w->visible = false;
    return w;
}

void PresentFrame(RendererWindowHandle window, void* memoryDC, const DibSurface& frame, int32_t x, int32_t y,
                  int32_t width, int32_t height) {
    if (!IsValidWindow(window) || !frame.bitmap || !memoryDC) return;
    // A layered-window update moves and sizes the window and replaces its content.
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    window->presentedWidth = frame.width;
    window->presentedHeight = frame.height;
    window->presentedPixels.assign(frame.pixels, frame.pixels + size_t(frame.stride) * size_t(frame.height));
    ++window->presentCount;
}

bool IsValidWindow(RendererWindowHandle window) { return window && System().live.count(window) != 0; }

bool GetWindowScreenOrigin(RendererWindowHandle window, int32_t* left, int32_t* top) {
    if (!IsValidWindow(window)) return false;
    *left = window->x;
    *top = window->y;
    return true;
}

void HideWindow(RendererWindowHandle window) {
    if (IsValidWindow(window)) window->visible = false;
}
void ShowWindowNoActivate(RendererWindowHandle window) {
    if (IsValidWindow(window)) window->visible = true;
}
void StartFrameTimer(RendererWindowHandle window) {
    if (!IsValidWindow(window)) return;
    window->timerRunning = true;
    window->timerId = kFrameTimerId;
    window->timerPeriodMs = kFrameTimerPeriodMs;
}
void StopFrameTimer(RendererWindowHandle window) {
    if (IsValidWindow(window)) window->timerRunning = false;
}
void DestroyDisplayWindow(RendererWindowHandle window) { FreeWindow(window); }

bool UnregisterDisplayWindowClass() {
    const bool was = System().classRegistered;
    System().classRegistered = false;
    return was;
}

void* CreateScreenMemoryDC() {
    ++System().liveMemoryDCs;
    return new int(0);
}
void DeleteMemoryDC(void* dc) {
    if (!dc) return;
    --System().liveMemoryDCs;
    delete static_cast<int*>(dc);
}

// Client and screen coordinates coincide with the window's top-left.
void ClientToScreenPoint(RendererWindowHandle window, int32_t* x, int32_t* y) {
    if (!IsValidWindow(window)) return;
    *x += window->x;
    *y += window->y;
}
void CaptureMouse(RendererWindowHandle window) { System().capture = window; }
void ReleaseMouse() { System().capture = nullptr; }
// As the system does, a display window that loses the activation is told so.
void ActivateWindow(RendererWindowHandle window) {
    if (!IsValidWindow(window)) return;
    ++System().activations;
    RendererWindowHandle previous = System().active;
    System().active = window;
    if (previous && previous != window && IsValidWindow(previous) && previous->className == kDisplayClassName)
        headless::SendDisplayMessage(previous, kMsgActivate, 0 /* WA_INACTIVE */, 0);
}
void SetArrowCursor() { ++System().arrowCursorCalls; }
