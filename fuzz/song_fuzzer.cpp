// song_fuzzer.cpp - random SongInfo records through SetSong, the time operations
// and ClearSong, on an initialised headless renderer.
//
// Input layout: a 24-byte song header (maxPitch, minPitch, startTime, endTime,
// line count byte, flags), then per line 12 bytes (start, end, word and note
// count bytes, flags) followed by its words (start, end, length byte, text) and
// notes (start, end, pitch).  Flags sometimes null an array while keeping its
// count, or claim a huge count for a null array.  Then time steps until the end.
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "core/renderer_impl.h"
#include "fuzz_reader.h"
#include "window/headless_window.h"

namespace {

CGDIRendererImpl* Renderer() {
    static CGDIRendererImpl* r = [] {
        auto* renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
        RendererLayout layout = renderer->layout;
        renderer->Init("none", headless::CreateHostWindow(0, 0, 800, 600), 0, 0, &layout, 1, false);
        return renderer;
    }();
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in{data, size};
    SongInfo song = {};
    song.maxPitch = in.Take<float>();
    song.minPitch = in.Take<float>();
    song.startTime = in.Take<uint32_t>();
    song.endTime = in.Take<uint32_t>();
    const uint32_t lineCount = in.Take<uint8_t>() % 16;
    const uint8_t songFlags = in.Take<uint8_t>();
    const int mode = songFlags & 3;  // 0 lyrics, 1 game, 2 and 3 nothing

    std::vector<SongLine> lines(lineCount);
    std::deque<std::vector<SongWord>> words;
    std::deque<std::vector<SongNote>> notes;
    std::deque<std::vector<uint16_t>> texts;
    for (SongLine& line : lines) {
        line.startTime = in.Take<uint32_t>();
        line.endTime = in.Take<uint32_t>();
        const uint32_t wordCount = in.Take<uint8_t>() % 8;
        const uint32_t noteCount = in.Take<uint8_t>() % 8;
        const uint8_t flags = in.Take<uint8_t>();
        words.emplace_back(wordCount);
        for (SongWord& w : words.back()) {
            w.startTime = in.Take<uint32_t>();
            w.endTime = in.Take<uint32_t>();
            const uint32_t length = in.Take<uint8_t>() % 24;
            texts.emplace_back(length + 1, 0);
            for (uint32_t k = 0; k < length; ++k) texts.back()[k] = in.Take<uint16_t>();
            w.text = (flags & 4) ? nullptr : texts.back().data();
            w.textLength = (flags & 64) ? 4097 : length;  // rejected before its text is read
        }
        notes.emplace_back(noteCount);
        for (SongNote& n : notes.back()) {
            n.startTime = in.Take<uint32_t>();
            n.endTime = in.Take<uint32_t>();
            n.pitch = in.Take<float>();
        }
        line.words = (flags & 1) ? nullptr : words.back().data();
        line.wordCount = (flags & 8) && !line.words ? 0xFFFFFFFFu : wordCount;
        line.notes = (flags & 2) ? nullptr : notes.back().data();
        line.noteCount = (flags & 16) && !line.notes ? 0xFFFFFFFFu : noteCount;
    }
    song.lines = lineCount ? lines.data() : ((songFlags & 4) ? nullptr : lines.data());
    song.lineCount = lineCount;

    CGDIRendererImpl* r = Renderer();
    r->SetMode(mode);
    r->SetSong(&song);
    r->Show();
    while (!in.Done()) {
        const uint8_t op = in.Take<uint8_t>();
        PlayState state = {};
        state.timeMs = in.Take<uint32_t>();
        state.pitch = in.Take<float>();
        switch (op % 5) {
            case 0: r->UpdateTime(int32_t(in.Take<uint16_t>()), &state); break;
            case 1: r->UpdateTimeF(in.Take<float>(), &state); break;
            case 2: r->Tick(in.Take<int32_t>()); break;
            case 3: r->TickF(in.Take<float>()); break;
            default: r->SetMode(op & 1); break;
        }
    }
    if (songFlags & 8) r->ClearSong();
    return 0;
}
