// Composing one frame of each mode at the default layout mid-song (text, bars,
// trail or cursor, score all on screen), the whole-frame pixel operations, and a
// plain memcpy of one frame as the yardstick in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench_song.h"
#include "core/frame_update.h"
#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "window/headless_window.h"

namespace {

CGDIRendererImpl* MidSong(int mode) {
    auto* r = static_cast<CGDIRendererImpl*>(CreateRenderer());
    static RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    static BenchSong song;
    if (!r->window) {
        RendererLayout layout = r->layout;
        const std::string skin = std::string(RENDERER_SOURCE_DIR) + "/skins/default";
        r->Init(skin.c_str(), host, 0, 0, &layout, mode, false);
    }
    r->SetMode(mode);
    r->SetSong(&song.info);
    ScoreInfo score = {0, 87650.0f, 4};
    r->SetScore(&score);
    // Sing into the fifth line for a second, so the trail has its runs.
    for (uint32_t t = 17000; t <= 18500; t += 33) {
        PlayState s = {};
        s.timeMs = t;
        s.pitch = 60.0f + 4.0f * float(std::sin(t / 200.0));
        r->UpdateTime(33, &s);
    }
    r->scorePhase = 2;  // keep the score on screen
    r->holdFrames = 1 << 30;
    return r;
}

void BM_ComposeLyricsFrame(benchmark::State& state) {
    CGDIRendererImpl* r = MidSong(0);
    for (auto _ : state) {
        ComposeFrame(r);
        benchmark::DoNotOptimize(r->frame.pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * r->frame.stride * r->frame.height);
}
BENCHMARK(BM_ComposeLyricsFrame);

void BM_ComposeGameFrame(benchmark::State& state) {
    CGDIRendererImpl* r = MidSong(1);
    for (auto _ : state) {
        ComposeFrame(r);
        benchmark::DoNotOptimize(r->frame.pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * r->frame.stride * r->frame.height);
}
BENCHMARK(BM_ComposeGameFrame);

// A 640 x 230 frame of half-transparent pixels.
std::vector<uint8_t> Frame(uint8_t seed) {
    std::vector<uint8_t> f(640 * 230 * 4);
    for (size_t i = 0; i < f.size(); ++i) f[i] = uint8_t(i * 31 + seed);
    for (size_t i = 3; i < f.size(); i += 4) f[i] = uint8_t(f[i] | 1);
    return f;
}

void BM_PremultiplyAlphaFrame(benchmark::State& state) {
    std::vector<uint8_t> pixels = Frame(1);
    DibSurface s;
    s.pixels = pixels.data();
    s.width = 640;
    s.height = 230;
    s.stride = 640 * 4;
    for (auto _ : state) {
        PremultiplyAlpha(&s);
        benchmark::DoNotOptimize(pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}
BENCHMARK(BM_PremultiplyAlphaFrame);

void BM_BlendPixelsFrame(benchmark::State& state) {
    const std::vector<uint8_t> source = Frame(7);
    const std::vector<uint8_t> original = Frame(3);
    std::vector<uint8_t> destination = original;
    for (auto _ : state) {
        state.PauseTiming();
        destination = original;
        state.ResumeTiming();
        BlendPixels(destination.data(), 640 * 4, 0, 0, 640, 230, source.data(), 640 * 4, 0, 0, 640, 230, 200);
        benchmark::DoNotOptimize(destination[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}
BENCHMARK(BM_BlendPixelsFrame);

void BM_MemcpyFrame(benchmark::State& state) {
    const std::vector<uint8_t> source = Frame(5);
    std::vector<uint8_t> destination(source.size());
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), source.size());
        benchmark::DoNotOptimize(destination[0]);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}
BENCHMARK(BM_MemcpyFrame);

}  // namespace
