// bench_host.h - what the Win32 benchmarks share: renderer.dll loaded by path, a
// host window, and the renderer initialised over it with the default layout.
#ifndef RENDERER_TESTS_WIN32_BENCH_HOST_H
#define RENDERER_TESTS_WIN32_BENCH_HOST_H

#include <windows.h>

#include "renderer.h"

// The initialised renderer, or null when the library, its factory or Init failed.
inline IRenderer* StartBenchRenderer(const char* dllPath, const char* skinDir) {
    HMODULE dll = LoadLibraryA(dllPath);
    if (!dll) return nullptr;
    auto create = reinterpret_cast<IRenderer* (*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "CreateRenderer")));
    IRenderer* r = create ? create() : nullptr;
    if (!r) return nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "bench_host";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "bench_host", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 700, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
    RendererLayout layout = {150, 490, 640, 77, 87, 30, 200, 230, 0.15f, 22, 22, 2,
                             100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    return r->Init(skinDir, host, 0, 0, &layout, 1, false) ? r : nullptr;
}

#endif
