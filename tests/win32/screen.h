// screen.h - helpers for Win32 tests: a plain host window and reading the screen back.
#ifndef RENDERER_TESTS_WIN32_SCREEN_H
#define RENDERER_TESTS_WIN32_SCREEN_H

#include <windows.h>

#include <cstdint>
#include <vector>

namespace screen {

// A visible top-level window filled with one colour (COLORREF 0x00BBGGRR).
HWND CreateHostWindow(int x, int y, int width, int height, COLORREF colour);

// How often the host window has been activated (WM_ACTIVATE other than WA_INACTIVE).
int Activations(HWND host);

// Dispatches pending messages for about `milliseconds`, so the X server catches up.
void Pump(int milliseconds);

// BGRA pixels of a screen rectangle (alpha bytes are whatever GDI returns).
std::vector<uint8_t> Read(int x, int y, int width, int height);

}  // namespace screen

#endif
