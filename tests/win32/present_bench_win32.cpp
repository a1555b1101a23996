// present_bench_win32.cpp - what a frame costs through renderer.dll under Wine or
// Windows: the time update that composes it and the Present that shows it, per
// mode, in thread CPU time and wall time.  Then the layered-window update alone on
// a window of the same size: the whole window (UpdateLayeredWindow), and the same
// through UpdateLayeredWindowIndirect with the whole window and with a band of
// rows as the dirty rectangle, where the system has that call.
//
//   present_bench_win32 RENDERER_DLL SKIN_DIR [FRAMES]
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../../bench/bench_song.h"
#include "bench_host.h"
#include "renderer.h"

namespace {

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

double WallMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Sums CPU and wall time of the calls made between Start and Stop.
struct Timer {
    double cpu = 0, wall = 0, cpu0 = 0, wall0 = 0;
    void Start() {
        cpu0 = ThreadCpuMs();
        wall0 = WallMs();
    }
    void Stop() {
        cpu += ThreadCpuMs() - cpu0;
        wall += WallMs() - wall0;
    }
};

void Report(const char* name, const Timer& t, int frames) {
    std::printf("%-44s cpu %7.3f ms  wall %7.3f ms  per frame (%d frames)\n", name, t.cpu / frames, t.wall / frames,
                frames);
}

using UpdateIndirect = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);

// The layered-window update alone: a 640 x 230 premultiplied DIB shown `frames`
// times, each time with a few changed rows.
void RawUpdates(HINSTANCE instance, int frames) {
    const int width = 640, height = 230;
    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "bench_host", "raw", WS_POPUP | WS_VISIBLE, 0,
                                  400, width, height, nullptr, nullptr, instance, nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) pixels[i] = 0x80402010u;
    auto change = [&](int frame) {  // rows 77 .. 163 change, as the pitch area does
        for (int y = 77; y < 164; ++y) pixels[y * width + (frame * 7) % width] ^= 0x00FF00FFu;
    };
    HGDIOBJ previous = SelectObject(memory, bitmap);
    POINT destination = {0, 400}, source = {0, 0};
    SIZE size = {width, height};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

    Timer whole;
    for (int i = 0; i < frames; ++i) {
        change(i);
        whole.Start();
        HDC dc = GetWindowDC(window);
        UpdateLayeredWindow(window, dc, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
        ReleaseDC(window, dc);
        whole.Stop();
        PumpMessages();
    }
    Report("UpdateLayeredWindow, whole window", whole, frames);

    auto indirect = reinterpret_cast<UpdateIndirect>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindowIndirect")));
    if (!indirect) {
        std::printf("UpdateLayeredWindowIndirect: not in user32\n");
    } else {
        const struct {
            const char* name;
            RECT dirty;
        } cases[] = {{"UpdateLayeredWindowIndirect, whole window", {0, 0, width, height}},
                     {"UpdateLayeredWindowIndirect, rows 77..163", {0, 77, width, 164}},
                     {"UpdateLayeredWindowIndirect, rows 130..163", {0, 130, width, 164}},
                     {"UpdateLayeredWindowIndirect, row 163", {0, 163, width, 164}}};
        for (const auto& c : cases) {
            Timer t;
            int failed = 0;
            for (int i = 0; i < frames; ++i) {
                change(i);
                t.Start();
                HDC dc = GetWindowDC(window);
                UPDATELAYEREDWINDOWINFO u = {};
                u.cbSize = sizeof u;
                u.hdcDst = dc;
                u.pptDst = &destination;
                u.psize = &size;
                u.hdcSrc = memory;
                u.pptSrc = &source;
                u.pblend = &blend;
                u.dwFlags = ULW_ALPHA;
                u.prcDirty = &c.dirty;
                if (!indirect(window, &u)) ++failed;
                ReleaseDC(window, dc);
                t.Stop();
                PumpMessages();
            }
            Report(c.name, t, frames);
            if (failed) std::printf("  (%d calls failed)\n", failed);
        }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    IRenderer* r = StartBenchRenderer(argv[1], argv[2]);
    if (!r) return 1;
    BenchSong song;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 300;
    if (frames < 1) return 2;
    const char* modes[] = {"lyrics", "game"};
    for (int mode = 0; mode < 2; ++mode) {
        r->SetMode(mode);
        r->SetSong(&song.info);
        ScoreInfo score = {0, 87650.0f, 4};
        r->Show();
        Timer compose, present;
        for (int i = 0; i < frames + 30; ++i) {
            if (i % 80 == 0) r->SetScore(&score);  // the score stays on screen
            PlayState s = {};
            s.timeMs = 17000 + uint32_t(i) * 33;
            s.pitch = 60.0f + 4.0f * float(std::sin(s.timeMs / 200.0));
            const bool timed = i >= 30;  // the first frames prepare the lines
            if (timed) compose.Start();
            r->UpdateTime(33, &s);
            if (timed) {
                compose.Stop();
                present.Start();
            }
            r->Present();
            if (timed) present.Stop();
            PumpMessages();
        }
        char name[64];
        std::snprintf(name, sizeof name, "%s: UpdateTime (compose)", modes[mode]);
        Report(name, compose, frames);
        std::snprintf(name, sizeof name, "%s: Present", modes[mode]);
        Report(name, present, frames);
        r->Hide();
    }
    r->Uninit();
    RawUpdates(GetModuleHandleA(nullptr), frames);
    return 0;
}
