// renderer_factory.cpp - CreateRenderer and the process-wide renderer object.
#include <new>

#include "core/float_environment.h"
#include "core/renderer_impl.h"

namespace {
// Set by the first successful CreateRenderer and never cleared; the object is never deleted.
CGDIRendererImpl* g_renderer = nullptr;
}  // namespace

CGDIRendererImpl* RendererInstance() { return g_renderer; }

extern "C" RENDERER_ENTRY IRenderer* RENDERER_CDECL CreateRenderer(void) {
    FloatEnvironmentScope floatScope;
    if (!g_renderer) g_renderer = new (std::nothrow) CGDIRendererImpl();
    return g_renderer;
}
