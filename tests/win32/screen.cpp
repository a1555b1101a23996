// screen.cpp - host windows and screen read-back for the Win32 tests.
#include "screen.h"

#include <map>

namespace screen {

namespace {

std::map<HWND, int>& ActivationLog() {
    static std::map<HWND, int> log;
    return log;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ++ActivationLog()[hwnd];
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* ClassFor(COLORREF colour) {
    static char name[64];
    wsprintfA(name, "test_host_%06lx", static_cast<unsigned long>(colour));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = name;
    RegisterClassA(&wc);  // already registered for this colour: fine
    return name;
}

}  // namespace

HWND CreateHostWindow(int x, int y, int width, int height, COLORREF colour) {
    HWND hwnd = CreateWindowExA(0, ClassFor(colour), "host", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd) {
        UpdateWindow(hwnd);
        Pump(200);
    }
    return hwnd;
}

int Activations(HWND host) { return ActivationLog()[host]; }

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        GdiFlush();
        Sleep(10);
    } while (int(GetTickCount() - end) < 0);
}

std::vector<uint8_t> Read(int x, int y, int width, int height) {
    std::vector<uint8_t> out(size_t(width) * size_t(height) * 4, 0);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
        memcpy(out.data(), bits, out.size());
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out;
}

}  // namespace screen
