// headless_window.h - the Linux stand-in for the display window and its host.
//
// Windows are plain records; nothing is drawn anywhere.  Presenting copies the
// frame into the window record, so tests can look at what would be on the screen.
#ifndef RENDERER_WINDOW_HEADLESS_WINDOW_H
#define RENDERER_WINDOW_HEADLESS_WINDOW_H

#ifndef _WIN32

#include <cstdint>
#include <string>
#include <vector>

#include "renderer.h"

struct HWND__ {
    std::string className;
    std::string title;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    RendererWindowHandle owner = nullptr;
    int32_t x = 0, y = 0, width = 0, height = 0;  // screen rectangle
    bool visible = false;
    bool timerRunning = false;
    uintptr_t timerId = 0;
    uint32_t timerPeriodMs = 0;
    int presentCount = 0;
    std::vector<uint8_t> presentedPixels;  // premultiplied BGRA of the last present
    int32_t presentedWidth = 0, presentedHeight = 0;
};

namespace headless {

RendererWindowHandle CreateHostWindow(int32_t left, int32_t top, int32_t width, int32_t height);
void DestroyHostWindow(RendererWindowHandle window);

// Delivers a message to the display window's procedure, as the system would.
intptr_t SendDisplayMessage(RendererWindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

bool DisplayClassRegistered();
RendererWindowHandle CaptureWindow();
RendererWindowHandle ActiveWindow();
int DefaultProcCalls();
int ArrowCursorCalls();
void FailNextWindowCreation();  // the next CreateDisplayWindow finds no window
int LiveMemoryDCs();
int Activations();  // windows activated so far
int LiveWindows();  // host and display windows that exist
// Destroys every window that still exists and forgets the capture, the active
// window, the class registration and the counters: the state of a fresh process.
void ResetWindowSystem();

}  // namespace headless

#endif
#endif
