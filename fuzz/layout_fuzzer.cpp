// layout_fuzzer.cpp - random layout records, scores and singer pitches through a
// whole play of a small song in both modes, on the flat test skin.  The window is
// kept at most 1024 x 512 so that one input costs milliseconds; every other
// field, the score and the pitches are whatever the input says.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/renderer_impl.h"
#include "fuzz_reader.h"
#include "window/headless_window.h"

namespace {

std::u16string Text(const char16_t* t) { return std::u16string(t); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* r = static_cast<CGDIRendererImpl*>(CreateRenderer());
    static RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    static const std::u16string words[3] = {Text(u"茉莉"), Text(u"flower "), Text(u"ÀÉ")};
    FuzzReader in{data, size};
    RendererLayout layout;
    std::memcpy(&layout, &r->layout, sizeof layout);
    int32_t fields[23];
    for (int32_t& f : fields) f = in.Take<int32_t>();
    std::memcpy(&layout, fields, sizeof layout);
    layout.windowWidth = int32_t(uint32_t(layout.windowWidth) % 1024 + 1);
    layout.windowHeight = int32_t(uint32_t(layout.windowHeight) % 512);
    if (layout.pitchAreaHeight > 4096 || layout.pitchAreaHeight < -4096) layout.pitchAreaHeight %= 4096;
    const std::string skin = std::string(RENDERER_SOURCE_DIR) + "/tests/data/flat_skin";
    if (!r->Init(skin.c_str(), host, in.Take<int16_t>(), in.Take<int16_t>(), &layout, 1, in.Take<uint8_t>() & 1))
        return 0;

    SongWord w[6];
    SongNote n[6];
    for (int i = 0; i < 6; ++i) {
        const uint32_t start = 1000 + uint32_t(i) * 500;
        w[i] = {start, start + 400, reinterpret_cast<const uint16_t*>(words[i % 3].c_str()),
                uint32_t(words[i % 3].size())};
        n[i] = {start, start + in.Take<uint16_t>() % 600, in.Take<float>()};
    }
    SongLine lines[2] = {{1000, 2400, w, 3, n, 3}, {2500, 4000, w + 3, 3, n + 3, 3}};
    SongInfo song = {in.Take<float>(), in.Take<float>(), 0, 5000, 0, lines, 2};
    for (int mode = 0; mode < 2; ++mode) {
        r->SetMode(mode);
        r->SetSong(&song);
        r->Show();
        ScoreInfo score = {0, in.Take<float>(), in.Take<int32_t>()};
        r->SetScore(&score);
        for (uint32_t t = 0; t < 4600; t += 193) {
            PlayState s = {};
            s.timeMs = t;
            s.pitch = in.Take<float>();
            r->UpdateTime(193, &s);
            r->Tick(13);
        }
        r->Present();
    }
    r->ClearSong();
    r->Uninit();
    return 0;
}
