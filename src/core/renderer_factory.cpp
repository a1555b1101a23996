// renderer_factory.cpp - CreateRenderer and the process-wide renderer object.
#include <new>

#include "base/float_environment.h"
#include "core/renderer_impl.h"
#include "core/renderer_views.h"
#include "window/display_window.h"

namespace {

// Set by the first successful CreateRenderer and never cleared; the object is never deleted.
CGDIRendererImpl* g_renderer = nullptr;

// The display window's messages reach the renderer through here.
bool HandleRendererMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t* result,
                           bool* passToDefault) {
    if (!g_renderer) return false;
    *result = HandleDisplayMessage(WindowStateOf(g_renderer), message, wParam, lParam, passToDefault);
    return true;
}

}  // namespace

CGDIRendererImpl* RendererInstance() { return g_renderer; }

extern "C" RENDERER_ENTRY IRenderer* RENDERER_CDECL CreateRenderer(void) {
    FloatEnvironmentScope floatScope;
    if (!g_renderer) {
        g_renderer = new (std::nothrow) CGDIRendererImpl();
        SetDisplayStateHandler(HandleRendererMessage);
    }
    return g_renderer;
}
