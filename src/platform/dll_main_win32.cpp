// dll_main_win32.cpp - the library entry point: remembers the module instance,
// which the window class registration and its icon need.
#include <windows.h>

#include "base/float_environment.h"
#include "platform/platform.h"

extern "C" RENDERER_ENTRY BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reason;
    (void)reserved;
    platform::SetModuleInstance(instance);  // at every notification
    return TRUE;
}
