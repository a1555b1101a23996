// set_song_bench_win32.cpp - SetSong of 300 distinct Chinese characters through
// renderer.dll under Wine or Windows (GDI glyphs), timed with the performance counter.
//
//   set_song_bench_win32 RENDERER_DLL SKIN_DIR
#include <windows.h>

#include <cstdio>

#include "../../bench/bench_song.h"
#include "bench_host.h"
#include "renderer.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    IRenderer* r = StartBenchRenderer(argv[1], argv[2]);
    if (!r) return 1;
    BenchSong song;
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    const char* modes[] = {"lyrics", "game"};
    for (int mode = 1; mode >= 0; --mode) {
        r->SetMode(mode);
        r->SetSong(&song.info);  // warm-up
        const int runs = 10;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < runs; ++i) r->SetSong(&song.info);
        QueryPerformanceCounter(&t1);
        const double ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(frequency.QuadPart) / runs;
        std::printf("BM_SetSong300Characters/%s (Win32, GDI)  %.2f ms\n", modes[mode], ms);
    }
    r->Uninit();
    return 0;
}
