// demo_host.cpp - a small Win32 karaoke host: loads renderer.dll, opens a host
// window, initialises the renderer over it and plays an UltraStar song in real
// time at 30 frames per second through IRenderer (UpdateTime with a simulated
// singer, Tick in between, Present after every frame, SetScore after every line),
// saving screenshots of the screen as PNG at chosen song times.
//
//   demo_host --dll PATH --skin DIR --song FILE --out DIR
//             [--mode lyrics|game|both] [--start MS] [--seconds N] [--shots MS,MS,...]
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "renderer.h"
#include "host_frame.h"
#include "ultrastar/ultrastar.h"

namespace {

struct Options {
    std::string dll = "renderer.dll";
    std::string skin = "skins\\default";
    std::string song = "songs\\jasmine.txt";
    std::string out = "out";
    std::string mode = "both";
    uint32_t start = 0;
    double seconds = 10.0;
    std::vector<uint32_t> shots;
};

// Forward slashes from the Linux side become backslashes, as the renderer joins paths with them.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rect;
        GetClientRect(hwnd, &rect);
        // A host's own picture: a vertical gradient with a few bands.
        for (int y = 0; y < rect.bottom; y += 4) {
            const int t = y * 255 / (rect.bottom ? rect.bottom : 1);
            HBRUSH brush = CreateSolidBrush(RGB(30 + t / 3, 40 + t / 4, 90 + t / 2));
            RECT band = {0, y, rect.right, y + 4};
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 20, 20, "Karaoke host", 12);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (int(GetTickCount() - end) < 0);
}

// Saves a screen rectangle as an opaque PNG.
bool SaveScreenshot(const std::string& path, int x, int y, int width, int height) {
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
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
        std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
        const uint8_t* p = static_cast<const uint8_t*>(bits);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i] = p[i + 2];
            rgba[i + 1] = p[i + 1];
            rgba[i + 2] = p[i];
            rgba[i + 3] = 255;
        }
        ok = stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--dll") o.dll = value;
        else if (key == "--skin") o.skin = value;
        else if (key == "--song") o.song = value;
        else if (key == "--out") o.out = value;
        else if (key == "--mode") o.mode = value;
        else if (key == "--start") o.start = uint32_t(std::strtoul(value.c_str(), nullptr, 10));
        else if (key == "--seconds") o.seconds = std::atof(value.c_str());
        else if (key == "--shots") {
            for (size_t at = 0; at < value.size();) {
                o.shots.push_back(uint32_t(std::strtoul(value.c_str() + at, nullptr, 10)));
                const size_t comma = value.find(',', at);
                at = comma == std::string::npos ? value.size() : comma + 1;
            }
        }
    }
    ultrastar::Song song;
    std::string error;
    if (!ultrastar::Load(WindowsPath(o.song), 1, &song, &error)) {
        std::fprintf(stderr, "demo_host: %s\n", error.c_str());
        return 1;
    }
    HMODULE dll = LoadLibraryA(WindowsPath(o.dll).c_str());
    if (!dll) {
        std::fprintf(stderr, "demo_host: cannot load %s\n", o.dll.c_str());
        return 1;
    }
    auto create = reinterpret_cast<IRenderer* (*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "CreateRenderer")));
    IRenderer* renderer = create ? create() : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "demo_host: CreateRenderer failed\n");
        return 1;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "demo_host_window";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    const int hostX = 40, hostY = 40, hostW = 720, hostH = 420;
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Karaoke host", WS_POPUP | WS_VISIBLE, hostX, hostY, hostW,
                                hostH, nullptr, nullptr, wc.hInstance, nullptr);
    Pump(200);

    RendererLayout layout = {150, 490, 640, 77, 87, 30, 200, 230, 0.15f, 22, 22, 2,
                             100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    const std::string skin = WindowsPath(o.skin);
    if (!renderer->Init(skin.c_str(), host, 40, 150, &layout, 1, false)) {
        std::fprintf(stderr, "demo_host: Init failed\n");
        return 1;
    }
    const std::string outDir = WindowsPath(o.out);
    const int frameMs = 33;
    std::vector<int> modes;
    if (o.mode != "game") modes.push_back(0);
    if (o.mode != "lyrics") modes.push_back(1);
    for (int mode : modes) {
        const char* name = mode == 0 ? "lyrics" : "game";
        renderer->SetMode(mode);
        renderer->SetSong(&song.info);
        renderer->Show();
        Singer singer(song.info, 7);
        std::vector<uint32_t> shots = o.shots;
        uint32_t scored = UINT32_MAX;
        const DWORD begin = GetTickCount();
        const uint32_t end = o.start + uint32_t(o.seconds * 1000);
        int frame = 0;
        for (uint32_t t = o.start; t <= end; t += frameMs, ++frame) {
            HostFrame(renderer, &singer, uint32_t(frame), t, frameMs, &scored);
            renderer->Present();
            // Real time: wait for this frame's moment, handling messages meanwhile.
            const DWORD due = begin + DWORD(t - o.start + frameMs);
            do {
                Pump(1);
            } while (int(GetTickCount() - due) < 0);
            for (size_t i = 0; i < shots.size(); ++i)
                if (shots[i] != UINT32_MAX && t >= shots[i]) {
                    char file[96];
                    std::snprintf(file, sizeof file, "\\win32_%s_%06u.png", name, shots[i]);
                    SaveScreenshot(outDir + file, hostX, hostY, hostW, hostH);
                    std::printf("demo_host: %s%s\n", o.out.c_str(), file);
                    shots[i] = UINT32_MAX;
                }
        }
    }
    renderer->Hide();
    renderer->ClearSong();
    renderer->Uninit();
    DestroyWindow(host);
    return 0;
}
