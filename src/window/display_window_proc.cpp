// display_window_proc.cpp - what the display window does with its messages:
// dragging (floating windows only), the one-second frame counter, giving the
// activation back to the host, the arrow cursor, and swallowing mouse buttons.
#include "window/display_window.h"

namespace {

DisplayStateHandler g_handler = nullptr;

// Set while the activation is being handed to the host window, and while the
// display window is created (visible, and hidden at once, which gives the
// activation back by itself).  Under Wine, handing it over from within those
// activation changes made the two windows pass it back and forth some two
// thousand times, nested, each time the display window was created.
bool g_handingOverActivation = false;

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

void HoldActivationHandOver(bool hold) { g_handingOverActivation = hold; }

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
            // The activation goes back to the host, unless the user clicked the
            // window.  The default procedure would focus this window again and undo
            // that, so it is not asked; and the activation changes the hand-over
            // causes come back here as further activation messages, which only get
            // the default answer.
            if ((wParam & 0xFFFF) != kClickActive && !g_handingOverActivation) {
                g_handingOverActivation = true;
                ActivateWindow(s.hostWindow);
                g_handingOverActivation = false;
                return 0;
            }
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
