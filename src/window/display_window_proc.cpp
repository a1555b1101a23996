// display_window_proc.cpp - what the display window does with its messages:
// dragging (floating windows only), the one-second frame counter, giving the
// activation back to the host, the arrow cursor, and swallowing mouse buttons.
#include "core/renderer_impl.h"
#include "window/display_window.h"

namespace {

// The point of a mouse message: x and y are the low and high 16 bits, sign-extended.
void MessagePoint(intptr_t lParam, int32_t* x, int32_t* y) {
    *x = int16_t(uint32_t(lParam) & 0xFFFF);
    *y = int16_t((uint32_t(lParam) >> 16) & 0xFFFF);
}

// Moves the stored position by how far the mouse went since the anchor.
void DragStep(CGDIRendererImpl* r, intptr_t lParam) {
    int32_t x = 0, y = 0;
    MessagePoint(lParam, &x, &y);
    ClientToScreenPoint(r->window, &x, &y);
    r->posX += x - r->dragAnchorX;
    r->posY += y - r->dragAnchorY;
    r->dragAnchorX = x;
    r->dragAnchorY = y;
}

}  // namespace

intptr_t HandleDisplayMessage(CGDIRendererImpl* r, uint32_t message, uintptr_t wParam, intptr_t lParam,
                              bool* passToDefault) {
    *passToDefault = false;
    if (r->floating) {
        switch (message) {
            case kMsgLButtonDown: {
                int32_t x = 0, y = 0;
                MessagePoint(lParam, &x, &y);
                r->dragging = true;
                CaptureMouse(r->window);
                ClientToScreenPoint(r->window, &x, &y);
                r->dragAnchorX = x;
                r->dragAnchorY = y;
                return 0;
            }
            case kMsgMouseMove:
                if (r->dragging) DragStep(r, lParam);
                return 0;
            case kMsgLButtonUp:
                r->dragging = false;
                ReleaseMouse();
                DragStep(r, lParam);
                return 0;
            case kMsgCaptureChanged:
                r->dragging = reinterpret_cast<RendererWindowHandle>(lParam) == r->window;
                return 0;
            default:
                break;
        }
    }
    switch (message) {
        case kMsgTimer:
            r->framesLastSecond = r->framesThisSecond;
            r->framesThisSecond = 0;
            break;
        case kMsgActivate:
            if ((wParam & 0xFFFF) != kClickActive) ActivateWindow(r->hostWindow);
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
