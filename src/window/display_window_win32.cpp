// display_window_win32.cpp - the layered display window on USER/GDI.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/float_environment.h"
#include "core/renderer_impl.h"
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
    CGDIRendererImpl* r = RendererInstance();
    if (!r) return DefWindowProcA(hwnd, message, wParam, lParam);
    bool passToDefault = false;
    const intptr_t result = HandleDisplayMessage(r, message, wParam, lParam, &passToDefault);
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

RendererWindowHandle CreateDisplayWindow(CGDIRendererImpl* r, RendererWindowHandle host, int32_t x, int32_t y,
                                         int32_t width, int32_t height) {
    if (!r->floating && !IsWindow(Hwnd(host))) return nullptr;
    RegisterDisplayWindowClass();
    HWND hwnd = CreateWindowExA(r->floating ? kFloatingExStyle : kOwnedExStyle, kDisplayClassName,
                                kDisplayWindowTitle, kDisplayWindowStyle, r->posX, r->posY, r->width, r->height,
                                r->floating ? nullptr : Hwnd(host), nullptr, Module(), nullptr);
    r->window = reinterpret_cast<RendererWindowHandle>(hwnd);
    if (!hwnd) LogLastError();
    if (!IsWindow(hwnd)) return nullptr;
    MoveWindow(hwnd, x, y, width, height, TRUE);
    ShowWindow(hwnd, SW_HIDE);
    return r->window;
}

void PresentFrame(CGDIRendererImpl* r) {
    if (!r->window || !r->frame.bitmap || !r->memoryDC) return;
    HWND hwnd = Hwnd(r->window);
    HDC memoryDC = static_cast<HDC>(r->memoryDC);
    HDC windowDC = GetWindowDC(hwnd);
    HGDIOBJ previous = SelectObject(memoryDC, static_cast<HGDIOBJ>(r->frame.bitmap));
    POINT destination = {r->posX, r->posY};
    SIZE size = {r->width, r->height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, windowDC, &destination, &size, memoryDC, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memoryDC, previous);
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
