// SetSong of a song with 300 distinct Chinese characters: the glyph cache (FreeType
// natively) and the first prepared lines, on an initialised renderer with the default skin.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_song.h"
#include "core/renderer_impl.h"
#include "window/headless_window.h"

namespace {

CGDIRendererImpl* InitialisedRenderer(int mode) {
    auto* r = static_cast<CGDIRendererImpl*>(CreateRenderer());
    static RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    if (!r->window) {
        RendererLayout layout = r->layout;
        const std::string skin = std::string(RENDERER_SOURCE_DIR) + "/skins/default";
        r->Init(skin.c_str(), host, 0, 0, &layout, mode, false);
    }
    r->SetMode(mode);
    return r;
}

void BM_SetSong300Characters(benchmark::State& state) {
    CGDIRendererImpl* r = InitialisedRenderer(int(state.range(0)));
    BenchSong song;
    for (auto _ : state) {
        r->SetSong(&song.info);
        benchmark::DoNotOptimize(r->glyphCache);
    }
    state.SetLabel(state.range(0) == 1 ? "game" : "lyrics");
}
BENCHMARK(BM_SetSong300Characters)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
