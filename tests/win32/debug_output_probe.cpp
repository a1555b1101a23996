// debug_output_probe.cpp - loads renderer.dll and calls SetPosition(10, 20), so that
// a test can read the debugger line from Wine's debugstr channel.
#include <windows.h>

#include <cstdio>

#include "renderer.h"

int main(int argc, char** argv) {
    HMODULE dll = LoadLibraryA(argc > 1 ? argv[1] : "renderer.dll");
    if (!dll) return 1;
    auto create = reinterpret_cast<IRenderer* (*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "CreateRenderer")));
    if (!create) return 1;
    IRenderer* renderer = create();
    if (!renderer) return 1;
    renderer->SetPosition(10, 20);
    std::fflush(stdout);
    return 0;
}
