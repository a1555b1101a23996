// layout_fuzzer.cpp - random layout records, scores and singer pitches through a
// play of a small song in lyrics mode and then in game mode, on the flat test
// skin.  Every field of the layout takes special values; the window is kept at
// most 512 x 256 and strip heights at most 512 rows (fuzz_song.h), so that one
// input costs milliseconds.
//
// The song record is built once; each input initialises the renderer with its
// layout, sets the song, plays it in 4 steps per mode and tears everything down.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/renderer_impl.h"
#include "fuzz_reader.h"
#include "fuzz_song.h"
#include "platform/platform.h"
#include "window/headless_window.h"

namespace {

constexpr int kStepsPerMode = 4;

struct SmallSong {
    std::u16string text[3] = {u"茉莉", u"flower ", u"ÀÉ"};
    SongWord words[6];
    SongNote notes[6];
    SongLine lines[2];
    SongInfo info;
    SmallSong() {
        for (int i = 0; i < 6; ++i) {
            const uint32_t start = 1000 + uint32_t(i) * 500;
            words[i] = {start, start + 400, reinterpret_cast<const uint16_t*>(text[i % 3].c_str()),
                        uint32_t(text[i % 3].size())};
            notes[i] = {start, start + 300, 0.0f};
        }
        lines[0] = {1000, 2400, words, 3, notes, 3};
        lines[1] = {2500, 4000, words + 3, 3, notes + 3, 3};
        info = {0.0f, 0.0f, 0, 5000, 0, lines, 2};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* r = static_cast<CGDIRendererImpl*>(CreateRenderer());
    static RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    static SmallSong song;
    static const std::string skin = std::string(RENDERER_SOURCE_DIR) + "/tests/data/flat_skin";
    FuzzReader in{data, size};
    RendererLayout layout = ReadFuzzLayout(&in);
    const bool floating = in.Take<uint8_t>() & 1;
    if (!r->Init(skin.c_str(), host, in.Int(), in.Int(), &layout, 0, floating)) {
        platform::DebugOutputLog().clear();
        return 0;
    }
    for (int i = 0; i < 6; ++i) {
        song.notes[i].endTime = song.notes[i].startTime + in.Take<uint16_t>() % 600;
        song.notes[i].pitch = in.Float();
    }
    song.info.maxPitch = in.Float();
    song.info.minPitch = in.Float();
    r->SetSong(&song.info);
    r->Show();
    for (int mode = 0; mode < 2; ++mode) {
        r->SetMode(mode);
        ScoreInfo score = {0, in.Float(), in.Int()};
        r->SetScore(&score);
        for (int step = 0; step <= kStepsPerMode; ++step) {
            PlayState s = {};
            s.timeMs = uint32_t(step) * 4600 / kStepsPerMode;
            s.pitch = in.Float();
            r->UpdateTime(4600 / kStepsPerMode, &s);
            r->Tick(13);
        }
        r->Present();
    }
    r->ClearSong();
    r->Uninit();
    platform::DebugOutputLog().clear();
    return 0;
}
