// Composing one frame of each mode at the default layout mid-song (text, bars,
// trail or cursor, score all on screen), the whole-frame pixel operations, and a
// plain memcpy of one frame as the yardstick in the same run.
//
// Benchmarks without a suffix run the default (fast) pixel path; those named
// ...Reference the scalar reference kernels.  The per-operation benchmarks
// (BM_Copy/..., BM_Blend/..., BM_Premultiply/...) time both paths on whole
// frames of transparent, opaque and mixed pixels.
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

// Runs the benchmark body with the given pixel path and gives the previous one back.
class PathScope {
public:
    explicit PathScope(PixelPath path) : saved_(ActivePixelPath()) { SetPixelPath(path); }
    ~PathScope() { SetPixelPath(saved_); }

private:
    PixelPath saved_;
};

constexpr int32_t kWidth = 640, kHeight = 230, kStride = kWidth * 4;
constexpr size_t kFrameBytes = size_t(kStride) * kHeight;

void ComposeLyrics(benchmark::State& state, PixelPath path) {
    CGDIRendererImpl* r = MidSong(0);
    PathScope scope(path);
    for (auto _ : state) {
        ComposeFrame(r);
        benchmark::DoNotOptimize(r->frame.pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * r->frame.stride * r->frame.height);
}

void ComposeGame(benchmark::State& state, PixelPath path) {
    CGDIRendererImpl* r = MidSong(1);
    PathScope scope(path);
    for (auto _ : state) {
        ComposeFrame(r);
        benchmark::DoNotOptimize(r->frame.pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * r->frame.stride * r->frame.height);
}

void BM_ComposeLyricsFrame(benchmark::State& state) { ComposeLyrics(state, PixelPath::kFast); }
void BM_ComposeLyricsFrameReference(benchmark::State& state) { ComposeLyrics(state, PixelPath::kReference); }
void BM_ComposeGameFrame(benchmark::State& state) { ComposeGame(state, PixelPath::kFast); }
void BM_ComposeGameFrameReference(benchmark::State& state) { ComposeGame(state, PixelPath::kReference); }
BENCHMARK(BM_ComposeLyricsFrame);
BENCHMARK(BM_ComposeLyricsFrameReference);
BENCHMARK(BM_ComposeGameFrame);
BENCHMARK(BM_ComposeGameFrameReference);

// A 640 x 230 frame of pixels of every alpha, none transparent.
std::vector<uint8_t> Frame(uint8_t seed) {
    std::vector<uint8_t> f(kFrameBytes);
    for (size_t i = 0; i < f.size(); ++i) f[i] = uint8_t(i * 31 + seed);
    for (size_t i = 3; i < f.size(); i += 4) f[i] = uint8_t(f[i] | 1);
    return f;
}

// The frame of `seed` with every alpha set to `alpha`.
std::vector<uint8_t> FrameWithAlpha(uint8_t seed, uint8_t alpha) {
    std::vector<uint8_t> f = Frame(seed);
    for (size_t i = 3; i < f.size(); i += 4) f[i] = alpha;
    return f;
}

// The premultiplication of one frame; the frame is restored between iterations
// (outside the timing), as premultiplying it again would darken it towards black.
void Premultiply(benchmark::State& state, const std::vector<uint8_t>& original, PixelPath path) {
    PathScope scope(path);
    std::vector<uint8_t> pixels = original;
    DibSurface s;
    s.pixels = pixels.data();
    s.width = kWidth;
    s.height = kHeight;
    s.stride = kStride;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(pixels.data(), original.data(), pixels.size());
        state.ResumeTiming();
        PremultiplyAlpha(&s);
        benchmark::DoNotOptimize(pixels[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}

// One whole-frame blend at `alpha` (a copy when alpha < 0) of source over a fresh
// copy of destination.
void Compose(benchmark::State& state, const std::vector<uint8_t>& source, const std::vector<uint8_t>& original,
             int alpha, PixelPath path) {
    PathScope scope(path);
    std::vector<uint8_t> destination = original;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(destination.data(), original.data(), destination.size());
        state.ResumeTiming();
        if (alpha < 0)
            CopyPixels(destination.data(), kStride, 0, 0, kWidth, kHeight, source.data(), kStride, 0, 0, kWidth,
                       kHeight);
        else
            BlendPixels(destination.data(), kStride, 0, 0, kWidth, kHeight, source.data(), kStride, 0, 0, kWidth,
                        kHeight, uint8_t(alpha));
        benchmark::DoNotOptimize(destination[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(source.size()));
}

void BM_PremultiplyAlphaFrame(benchmark::State& state) { Premultiply(state, Frame(1), PixelPath::kFast); }
void BM_PremultiplyAlphaFrameReference(benchmark::State& state) { Premultiply(state, Frame(1), PixelPath::kReference); }
BENCHMARK(BM_PremultiplyAlphaFrame);
BENCHMARK(BM_PremultiplyAlphaFrameReference);

void BM_BlendPixelsFrame(benchmark::State& state) { Compose(state, Frame(7), Frame(3), 200, PixelPath::kFast); }
void BM_BlendPixelsFrameReference(benchmark::State& state) {
    Compose(state, Frame(7), Frame(3), 200, PixelPath::kReference);
}
BENCHMARK(BM_BlendPixelsFrame);
BENCHMARK(BM_BlendPixelsFrameReference);

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

// Per operation and input, both paths: BM_<op>/<input> and BM_<op>Reference/<input>.
struct OperationInput {
    const char* name;
    std::vector<uint8_t> source, destination;
    int alpha;  // -1: CopyPixels
};

int RegisterOperations() {
    const std::vector<uint8_t> transparent = FrameWithAlpha(9, 0), opaque = FrameWithAlpha(9, 255),
                               mixed = Frame(7), background = Frame(3), cleared(kFrameBytes, 0);
    // The background's own colours with the mixed alphas: every blended colour lands
    // next to a whole number, the fast blend's slowest case.
    std::vector<uint8_t> ownColour = background;
    for (size_t i = 3; i < ownColour.size(); i += 4) ownColour[i] = mixed[i];
    static const std::vector<OperationInput> blends = {
        {"TransparentSource", transparent, background, 255},
        {"OpaqueSource", opaque, background, 255},
        {"MixedSource", mixed, background, 255},
        {"OntoCleared", mixed, cleared, 255},
        {"OwnColour", ownColour, background, 255},
        {"TransparentSourceAlpha200", transparent, background, 200},
        {"OpaqueSourceAlpha200", opaque, background, 200},
        {"MixedSourceAlpha200", mixed, background, 200},
    };
    static const std::vector<OperationInput> copies = {
        {"TransparentSource", transparent, background, -1},
        {"OpaqueSource", opaque, background, -1},
        {"MixedSource", mixed, background, -1},
    };
    static const std::vector<OperationInput> premultiplies = {
        {"Transparent", cleared, {}, 0},
        {"Opaque", opaque, {}, 0},
        {"Mixed", mixed, {}, 0},
    };
    for (const PixelPath path : {PixelPath::kFast, PixelPath::kReference}) {
        const std::string suffix = path == PixelPath::kReference ? "Reference/" : "/";
        for (const OperationInput& in : blends)
            benchmark::RegisterBenchmark(("BM_Blend" + suffix + in.name).c_str(), [&in, path](benchmark::State& s) {
                Compose(s, in.source, in.destination, in.alpha, path);
            });
        for (const OperationInput& in : copies)
            benchmark::RegisterBenchmark(("BM_Copy" + suffix + in.name).c_str(), [&in, path](benchmark::State& s) {
                Compose(s, in.source, in.destination, -1, path);
            });
        for (const OperationInput& in : premultiplies)
            benchmark::RegisterBenchmark(("BM_Premultiply" + suffix + in.name).c_str(),
                                         [&in, path](benchmark::State& s) { Premultiply(s, in.source, path); });
    }
    return 0;
}
const int kOperationsRegistered = RegisterOperations();

}  // namespace
