// display_window_proc.cpp - what the display window does with its messages:
// dragging (floating windows only), the one-second frame counter, giving the
// activation back to the host, the arrow cursor, and swallowing mouse buttons.
#include "window/display_window.h"

namespace {

DisplayStateHandler g_handler = nullptr;

// The point of a mouse message: x and y are the low and high 16 bits, sign-extended.
void MessagePoint(intptr_t lParam, int32_t* x, int32_t* y) {
    *x = int16_t(uint32_t(lParam) & 0xFFFF);
    *y = int16_t((uint32_t(lParam) >> 16) & 0xFFFF);
}

// Moves the stored position by how far the mouse went since the anchor.
void DragStep(const DisplayWindowState& s, intptr_t lParam) {
    int32_t x = 0, y = 0;
    MessagePoint(lParam, &x, &y);
    ClientToScreenPoint(s.window, &x, &y);
    s.posX = ClampWindowCoordinate(int64_t(s.posX) + (int64_t(x) - s.dragAnchorX));
    s.posY = ClampWindowCoordinate(int64_t(s.posY) + (int64_t(y) - s.dragAnchorY));
    s.dragAnchorX = x;
    s.dragAnchorY = y;
}

}  // namespace

void SetDisplayStateHandler(DisplayStateHandler handler) { g_handler = handler; }

bool DispatchToDisplayState(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* result,
                            bool* passToDefault) {
    return g_handler && g_handler(message, wParam, lParam, result, passToDefault);
}

int32_t ClampWindowCoordinate(int64_t v) {
    return v < -kMaxWindowCoordinate ? -kMaxWindowCoordinate : v > kMaxWindowCoordinate ? kMaxWindowCoordinate : int32_t(v);
}

intptr_t HandleDisplayMessage(const DisplayWindowState& s, uint32_t message, uintptr_t wParam, intptr_t lParam,
                              bool* passToDefault) {
    *passToDefault = false;
    if (s.floating) {
        switch (message) {
            case kMsgLButtonDown: {
                int32_t x = 0, y = 0;
                MessagePoint(lParam, &x, &y);
                s.dragging = true;
                CaptureMouse(s.window);
                ClientToScreenPoint(s.window, &x, &y);
                s.dragAnchorX = x;
                s.dragAnchorY = y;
                return 0;
            }
            case kMsgMouseMove:
                if (s.dragging) DragStep(s, lParam);
                return 0;
            case kMsgLButtonUp:
                s.dragging = false;
                ReleaseMouse();
                DragStep(s, lParam);
                return 0;
            case kMsgCaptureChanged:
                s.dragging = reinterpret_cast<RendererWindowHandle>(lParam) == s.window;
                return 0;
            default:
                break;
        }
    }
    switch (message) {
        case kMsgTimer:
            s.framesLastSecond = s.framesThisSecond;
            s.framesThisSecond = 0;
            break;
        case kMsgActivate:
            if ((wParam & 0xFFFF) != kClickActive) ActivateWindow(s.hostWindow);
            break;
        case kMsgEraseBackground:
            return 1;
        case kMsgSetCursor:
            SetArrowCursor();
            return 1;
        case kMsgLButtonDown:
        case kMsgLButtonUp:
        case kMsgRButtonDown:
        case kMsgRButtonUp:
            return 1;
        default:
            break;
    }
    *passToDefault = true;
    return 0;
}
