// display_window_win32.cpp - the layered display window on USER/GDI.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

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

// ---------------------------------------------------------------- presenting
//
// A layered window keeps the picture of its last update.  Most rows of a frame are
// the same as in the frame before (lyrics mode: about 35 of 230 rows change per
// frame, game mode about 90), and under Wine the update costs in proportion to the
// rows it copies.  So after one full update, a present with the same window,
// place and size hands the system only the band of rows that differ from what it
// showed last, as the dirty rectangle of UpdateLayeredWindowIndirect (user32 from
// Windows Vista on; looked up when first needed, and without it every present is
// a full UpdateLayeredWindow).  Every present still makes one update: a frame that
// changed nothing sends its first row.

using UpdateLayeredIndirect = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);

UpdateLayeredIndirect IndirectUpdate() {
    static bool looked = false;
    static UpdateLayeredIndirect update = nullptr;
    if (!looked) {
        looked = true;
        if (HMODULE user32 = GetModuleHandleA("user32.dll"))
            update = reinterpret_cast<UpdateLayeredIndirect>(
                reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindowIndirect")));
    }
    return update;
}

// What the window shows since its last update: the rows of that frame, where and
// how large.  Empty (no window) until a full update succeeds, and emptied when the
// window is shown, hidden or destroyed, so that the next present is a full one.
struct ShownPicture {
    HWND window = nullptr;
    POINT place = {0, 0};
    SIZE size = {0, 0};
    int32_t stride = 0;
    std::vector<uint8_t> pixels;

    bool Matches(HWND hwnd, POINT p, SIZE s, const DibSurface& frame) const {
        return window == hwnd && place.x == p.x && place.y == p.y && size.cx == s.cx && size.cy == s.cy &&
               stride == frame.stride && pixels.size() == size_t(frame.stride) * size_t(s.cy);
    }
    void Forget() {
        window = nullptr;
        pixels.clear();
    }
};
ShownPicture g_shown;

// Rows [*first, *last] are where `frame` differs from what is shown; false when
// nothing differs.
bool ChangedRows(const DibSurface& frame, const ShownPicture& shown, int32_t* first, int32_t* last) {
    const size_t row = size_t(frame.stride);
    auto differs = [&](int32_t y) {
        return std::memcmp(frame.pixels + size_t(y) * row, shown.pixels.data() + size_t(y) * row, row) != 0;
    };
    int32_t top = 0, bottom = int32_t(shown.size.cy) - 1;
    while (top <= bottom && !differs(top)) ++top;
    if (top > bottom) return false;
    while (!differs(bottom)) --bottom;
    *first = top;
    *last = bottom;
    return true;
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
    HoldActivationHandOver(true);
    HWND hwnd = CreateWindowExA(floating ? kFloatingExStyle : kOwnedExStyle, kDisplayClassName, kDisplayWindowTitle,
                                kDisplayWindowStyle, x, y, width, height, floating ? nullptr : Hwnd(host), nullptr,
                                Module(), nullptr);
    if (!hwnd) LogLastError();
    if (IsWindow(hwnd)) {
        MoveWindow(hwnd, x, y, width, height, TRUE);
        ShowWindow(hwnd, SW_HIDE);
    }
    HoldActivationHandOver(false);
    return IsWindow(hwnd) ? reinterpret_cast<RendererWindowHandle>(hwnd) : nullptr;
}

void PresentFrame(RendererWindowHandle window, void* memoryDC, const DibSurface& frame, int32_t x, int32_t y,
                  int32_t width, int32_t height) {
    if (!window || !frame.bitmap || !memoryDC) return;
    HWND hwnd = Hwnd(window);
    POINT destination = {x, y};
    SIZE size = {width, height};
    // Only a frame of exactly the window's size is compared and kept.
    const bool comparable = frame.pixels && frame.width == width && frame.height == height && height > 0 &&
                            int64_t(frame.stride) == int64_t(width) * 4;
    int32_t first = 0, last = 0;
    const bool partial = comparable && IndirectUpdate() && g_shown.Matches(hwnd, destination, size, frame);
    if (partial && !ChangedRows(frame, g_shown, &first, &last)) first = last = 0;  // unchanged: one row still goes

    HDC dc = static_cast<HDC>(memoryDC);
    HDC windowDC = GetWindowDC(hwnd);
    HGDIOBJ previous = SelectObject(dc, static_cast<HGDIOBJ>(frame.bitmap));
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    bool updated = false;
    if (partial) {
        const RECT dirty = {0, first, width, last + 1};
        UPDATELAYEREDWINDOWINFO info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.hdcDst = windowDC;
        info.pptDst = &destination;
        info.psize = &size;
        info.hdcSrc = dc;
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = &dirty;
        updated = IndirectUpdate()(hwnd, &info) != FALSE;
        if (updated) {
            const size_t row = size_t(frame.stride);
            std::memcpy(g_shown.pixels.data() + size_t(first) * row, frame.pixels + size_t(first) * row,
                        size_t(last - first + 1) * row);
        }
    }
    if (!updated) {  // a full update; its result is not examined beyond whether to remember it
        g_shown.Forget();
        if (UpdateLayeredWindow(hwnd, windowDC, &destination, &size, dc, &source, 0, &blend, ULW_ALPHA) &&
            comparable) {
            g_shown.window = hwnd;
            g_shown.place = destination;
            g_shown.size = size;
            g_shown.stride = frame.stride;
            g_shown.pixels.assign(frame.pixels, frame.pixels + size_t(frame.stride) * size_t(height));
        }
    }
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
    g_shown.Forget();
    if (window) ShowWindow(Hwnd(window), SW_HIDE);
}
void ShowWindowNoActivate(RendererWindowHandle window) {
    g_shown.Forget();
    if (window) ShowWindow(Hwnd(window), SW_SHOWNOACTIVATE);
}
void StartFrameTimer(RendererWindowHandle window) {
    if (window) SetTimer(Hwnd(window), kFrameTimerId, kFrameTimerPeriodMs, nullptr);
}
void StopFrameTimer(RendererWindowHandle window) {
    if (window) KillTimer(Hwnd(window), kFrameTimerId);
}
void DestroyDisplayWindow(RendererWindowHandle window) {
    g_shown.Forget();
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
