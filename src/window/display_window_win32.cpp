// display_window_win32.cpp - the layered display window on USER/GDI.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/float_environment.h"
#include "platform/platform.h"
#include "window/display_window.h"

namespace {

// The library's instance; a program that links the renderer statically has no
// library entry point, and registers under its own module.
HINSTANCE Module() {
    void* instance = platform::ModuleInstance();
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}
HWND Hwnd(RendererWindowHandle w) { return reinterpret_cast<HWND>(w); }

RENDERER_ENTRY LRESULT CALLBACK DisplayWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FloatEnvironmentScope floatScope;
    intptr_t result = 0;
    bool passToDefault = false;
    if (!DispatchToDisplayState(message, wParam, lParam, &result, &passToDefault)) passToDefault = true;
    return passToDefault ? DefWindowProcA(hwnd, message, wParam, lParam) : LRESULT(result);
}

void RegisterDisplayWindowClass() {
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = kDisplayClassStyle;
    wc.lpfnWndProc = DisplayWindowProc;
    wc.hInstance = Module();
    wc.hIcon = LoadIconA(Module(), MAKEINTRESOURCEA(kIconResource));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kDisplayClassName;
    RegisterClassExA(&wc);  // a class still registered from an earlier initialisation stays in use
}

}  // namespace

void LogLastError() {
    char text[64];
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text - 1, "GetLastError:%d", int(GetLastError()));
    platform::WriteDebugOutput(text);
}

RendererWindowHandle CreateDisplayWindow(bool floating, RendererWindowHandle host, int32_t x, int32_t y,
                                         int32_t width, int32_t height) {
    if (!floating && !IsWindow(Hwnd(host))) return nullptr;
    RegisterDisplayWindowClass();
    HWND hwnd = CreateWindowExA(floating ? kFloatingExStyle : kOwnedExStyle, kDisplayClassName, kDisplayWindowTitle,
                                kDisplayWindowStyle, x, y, width, height, floating ? nullptr : Hwnd(host), nullptr,
                                Module(), nullptr);
    if (!hwnd) LogLastError();
    if (!IsWindow(hwnd)) return nullptr;
    MoveWindow(hwnd, x, y, width, height, TRUE);
    ShowWindow(hwnd, SW_HIDE);
    return reinterpret_cast<RendererWindowHandle>(hwnd);
}

void PresentFrame(RendererWindowHandle window, void* memoryDC, const DibSurface& frame, int32_t x, int32_t y,
                  int32_t width, int32_t height) {
    if (!window || !frame.bitmap || !memoryDC) return;
    HWND hwnd = Hwnd(window);
    HDC dc = static_cast<HDC>(memoryDC);
    HDC windowDC = GetWindowDC(hwnd);
    HGDIOBJ previous = SelectObject(dc, static_cast<HGDIOBJ>(frame.bitmap));
    POINT destination = {x, y};
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, windowDC, &destination, &size, dc, &source, 0, &blend, ULW_ALPHA);
    SelectObject(dc, previous);
    ReleaseDC(hwnd, windowDC);
}

bool IsValidWindow(RendererWindowHandle window) { return IsWindow(Hwnd(window)) != FALSE; }

bool GetWindowScreenOrigin(RendererWindowHandle window, int32_t* left, int32_t* top) {
    RECT rect = {0, 0, 0, 0};
    if (!GetWindowRect(Hwnd(window), &rect)) return false;
    *left = rect.left;
    *top = rect.top;
    return true;
}

void HideWindow(RendererWindowHandle window) {
    if (window) ShowWindow(Hwnd(window), SW_HIDE);
}
void ShowWindowNoActivate(RendererWindowHandle window) {
    if (window) ShowWindow(Hwnd(window), SW_SHOWNOACTIVATE);
}
void StartFrameTimer(RendererWindowHandle window) {
    if (window) SetTimer(Hwnd(window), kFrameTimerId, kFrameTimerPeriodMs, nullptr);
}
void StopFrameTimer(RendererWindowHandle window) {
    if (window) KillTimer(Hwnd(window), kFrameTimerId);
}
void DestroyDisplayWindow(RendererWindowHandle window) {
    if (window) DestroyWindow(Hwnd(window));
}
bool UnregisterDisplayWindowClass() { return UnregisterClassA(kDisplayClassName, Module()) != FALSE; }

void* CreateScreenMemoryDC() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    return dc;
}
void DeleteMemoryDC(void* dc) {
    if (dc) DeleteDC(static_cast<HDC>(dc));
}

void ClientToScreenPoint(RendererWindowHandle window, int32_t* x, int32_t* y) {
    POINT p = {*x, *y};
    ClientToScreen(Hwnd(window), &p);
    *x = p.x;
    *y = p.y;
}
void CaptureMouse(RendererWindowHandle window) { SetCapture(Hwnd(window)); }
void ReleaseMouse() { ReleaseCapture(); }
void ActivateWindow(RendererWindowHandle window) { SetActiveWindow(Hwnd(window)); }
void SetArrowCursor() { SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))); }  // IDC_ARROW
