// song_fuzzer.cpp - random SongInfo records through SetSong, then time operations,
// presents and scores with special values, and ClearSong, on the flat test skin.
//
// Input: a flag byte (bit 0: a layout record follows, else the default layout
// narrowed to 320 pixels; bits 1-2: the mode, 2 and 3 showing nothing), the
// layout if any, the song (see fuzz_song.h), then up to 32 operations until the
// input ends.  Composing a frame is most of an input's cost (5 ms for 640 x 230
// under the sanitizers), hence the narrow window and the bound.
//
// What does not depend on the input stays between inputs: the renderer is
// initialised once per layout and kept, and so the font is opened once per song
// only.  Each input ends by clearing its song and setting an empty one, so the
// next input starts from the same state (and frees what this one allocated).
#include <cstdint>
#include <cstring>
#include <string>

#include "core/renderer_impl.h"
#include "fuzz_reader.h"
#include "fuzz_song.h"
#include "platform/platform.h"
#include "window/headless_window.h"

namespace {

constexpr int kMaxOperations = 32;

// Initialises the renderer for `layout` unless it already is.
bool InitialiseFor(CGDIRendererImpl* r, const RendererLayout& layout) {
    static RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    static bool initialised = false;
    static RendererLayout current;
    if (initialised && std::memcmp(&current, &layout, sizeof layout) == 0) return true;
    if (initialised) r->Uninit();
    RendererLayout copy = layout;
    const std::string skin = std::string(RENDERER_SOURCE_DIR) + "/tests/data/flat_skin";
    initialised = r->Init(skin.c_str(), host, 0, 0, &copy, 1, false);
    current = layout;
    return initialised;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* r = static_cast<CGDIRendererImpl*>(CreateRenderer());
    static const RendererLayout narrowLayout = [] {
        RendererLayout l = CGDIRendererImpl().layout;
        l.windowWidth = 320;
        return l;
    }();
    static FuzzSong song;
    FuzzReader in{data, size};
    const uint8_t flags = in.Take<uint8_t>();
    const RendererLayout layout = (flags & 1) ? ReadFuzzLayout(&in) : narrowLayout;
    if (!InitialiseFor(r, layout)) return 0;

    r->SetMode((flags >> 1) & 3);
    r->SetSong(song.Read(&in, true));
    r->Show();
    for (int i = 0; i < kMaxOperations && !in.Done(); ++i) {
        const uint8_t op = in.Take<uint8_t>();
        PlayState state = {};
        state.timeMs = in.UInt();
        state.pitch = in.Float();
        switch (op % 10) {
            case 0: r->UpdateTime(in.Int(), &state); break;
            case 1: r->UpdateTimeF(in.Float(), &state); break;
            case 2: r->Tick(in.Int()); break;
            case 3: r->TickF(in.Float()); break;
            case 4: r->SetMode(in.Int()); break;
            case 5: {
                ScoreInfo score = {in.Take<uint32_t>(), in.Float(), in.Int()};
                r->SetScore(&score);
                break;
            }
            case 6: r->UpdateTime(in.Int(), nullptr); break;
            default: r->Present(); break;
        }
    }
    r->Present();

    // Back to the state every input starts from.
    static SongInfo empty = [] {
        static SongLine none = {};
        SongInfo s = {};
        s.lines = &none;
        return s;
    }();
    r->ClearSong();
    r->SetSong(&empty);
    r->ClearSong();
    r->Hide();
    std::memset(&r->playState, 0, sizeof r->playState);
    r->skipNextTick = false;
    platform::DebugOutputLog().clear();
    return 0;
}
