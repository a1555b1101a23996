// scene_fixture.h - a renderer over the flat test skin with a made-up font, a
// song, and helpers to drive and look at frames.
#ifndef RENDERER_TESTS_SCENE_FIXTURE_H
#define RENDERER_TESTS_SCENE_FIXTURE_H

#include <stb_image_write.h>

#include <string>
#include <vector>

#include "fake_glyph_source.h"
#include "pixel_harness.h"
#include "imaging/skin.h"
#include "renderer_fixture.h"
#include "core/frame_update.h"
#include "song_builder.h"
#include "test_files.h"
#include "text/glyph_cache.h"

class SceneTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        ASSERT_TRUE(InitWithFlatSkin());
        for (uint16_t c = 'a'; c <= 'z'; ++c) font.sizes[c] = {12, 14};
    }
    // Three lines: 1000-3000 (words at 1000, 1500, 2200), 5000-7000, 8000-9000.
    SongInfo* TestSong() {
        song = SongBuilder(0, 20000, 40.0f, 80.0f);
        song.Line(1000, 3000)
            .Word(1000, 1400, u"la").Word(1500, 2000, u"ra").Word(2200, 3000, u"lo")
            .Note(1000, 1400, 60.0f).Note(1500, 2000, 70.0f).Note(2200, 2260, 50.0f).Note(2300, 3000, 45.0f);
        song.Line(5000, 7000).Word(5000, 7000, u"sing").Note(5000, 7000, 55.0f);
        song.Line(8000, 9000).Word(8000, 9000, u"end").Note(8000, 9000, 65.0f);
        return song.Build();
    }
    // Sets the song with the made-up font in place of the real one.
    void SetSong(SongInfo* info) {
        ASSERT_TRUE(renderer->SetSong(info));
        UseGlyphSource(renderer, &font, CollectSongText(renderer->song));
        PrepareModeLines(renderer, 0, 3);
    }
    void At(uint32_t t, float pitch) {
        PlayState s = {};
        s.timeMs = t;
        s.pitch = pitch;
        renderer->started = false;  // adopt the time as given
        renderer->UpdateTime(0, &s);
    }
    const uint8_t* FramePixel(int x, int y) const { return SurfacePixel(renderer->frame, x, y); }
    uint32_t FrameCrc() const {
        const DibSurface& f = renderer->frame;
        return harness::Crc32(f.pixels, size_t(f.stride) * size_t(f.height));
    }
    // Saves the frame (un-premultiplied over mid grey) for a person to look at.
    void SavePng(const std::string& name) const {
        const DibSurface& f = renderer->frame;
        std::vector<uint8_t> rgba(size_t(f.width) * size_t(f.height) * 4);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const uint8_t* p = SurfacePixel(f, x, y);
                uint8_t* d = &rgba[(size_t(y) * size_t(f.width) + size_t(x)) * 4];
                for (int c = 0; c < 3; ++c) d[c] = uint8_t(p[2 - c] + 128 * (255 - p[3]) / 255);
                d[3] = 255;
            }
        stbi_write_png((name + ".png").c_str(), f.width, f.height, 4, rgba.data(), f.width * 4);
    }
    FakeGlyphSource font;
    SongBuilder song;
};

#endif
