// demo_host.cpp - a small Win32 karaoke host: loads renderer.dll, opens a host
// window, initialises the renderer over it, shows it, plays a short built-in song
// through IRenderer (UpdateTime, Tick, Present) and saves screenshots as PNG.
//
//   demo_host --dll PATH --skin DIR --out DIR [--seconds N]
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

namespace {

struct Options {
    std::string dll = "renderer.dll";
    std::string skin = "skins\\default";
    std::string out = "out";
    double seconds = 3.0;
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

// A short song: two lines of four words, a note under each word, a pause between.
struct DemoSong {
    std::vector<std::vector<uint16_t>> texts;
    std::vector<SongWord> words;
    std::vector<SongNote> notes;
    std::vector<SongLine> lines;
    SongInfo info = {};

    DemoSong() {
        const char* syllables[] = {"Twin", "kle ", "twin", "kle ", "lit", "tle ", "star"};
        const float pitches[] = {60, 60, 67, 67, 69, 69, 67};
        const uint32_t lineStarts[] = {1000, 5000};
        for (int l = 0; l < 2; ++l)
            for (int w = 0; w < 7; ++w) {
                std::vector<uint16_t> t;
                for (const char* c = syllables[w]; *c; ++c) t.push_back(uint16_t(*c));
                t.push_back(0);
                texts.push_back(t);
                const uint32_t start = lineStarts[l] + uint32_t(w) * 400;
                words.push_back({start, start + 380, nullptr, uint32_t(t.size() - 1)});
                notes.push_back({start, start + 380, pitches[w] + (l ? 2.0f : 0.0f)});
            }
        for (size_t i = 0; i < words.size(); ++i) words[i].text = texts[i].data();
        for (int l = 0; l < 2; ++l)
            lines.push_back({lineStarts[l], lineStarts[l] + 7 * 400, &words[size_t(l) * 7], 7,
                             &notes[size_t(l) * 7], 7});
        info = {74.0f, 55.0f, 0, 9000, 0, lines.data(), uint32_t(lines.size())};
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--dll") o.dll = argv[i + 1];
        else if (key == "--skin") o.skin = argv[i + 1];
        else if (key == "--out") o.out = argv[i + 1];
        else if (key == "--seconds") o.seconds = std::atof(argv[i + 1]);
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
    DemoSong song;
    renderer->SetSong(&song.info);
    renderer->Show();
    renderer->Present();

    const std::string outDir = WindowsPath(o.out);
    const int frameMs = 33;
    const char* modeNames[] = {"lyrics", "game"};
    for (int mode = 1; mode >= 0; --mode) {
        renderer->SetMode(mode);
        renderer->SetSong(&song.info);
        renderer->Show();
        int shot = 0;
        for (int t = 0; t <= int(o.seconds * 1000); t += frameMs) {
            PlayState state = {};
            state.timeMs = uint32_t(t);
            state.pitch = 64.0f + 6.0f * float(std::sin(t / 300.0));
            if (t % (frameMs * 3) == 0)
                renderer->UpdateTime(frameMs, &state);
            else
                renderer->Tick(frameMs);
            if (t > 0 && t % 2000 < frameMs) {
                ScoreInfo score = {0, float(t * 3), 1 + (t / 2000) % 5};
                renderer->SetScore(&score);
            }
            renderer->Present();
            Pump(5);
            if (t % 1000 < frameMs) {
                char name[64];
                std::snprintf(name, sizeof name, "\\win32_%s_%02d.png", modeNames[mode], shot++);
                SaveScreenshot(outDir + name, hostX, hostY, hostW, hostH);
            }
        }
    }
    renderer->Hide();
    renderer->ClearSong();
    renderer->Uninit();
    DestroyWindow(host);
    std::printf("demo_host: screenshots in %s\n", o.out.c_str());
    return 0;
}
