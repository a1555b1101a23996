// fake_glyph_source.h - a glyph source with made-up, exactly known glyphs.
//
// Character c renders as a black box of width (c % 7) + 3 and height (c % 5) + 6
// (or an explicit size), whose grey levels count 1, 2, ... 64, 1, ... row by row,
// origin (1, height - 2).  Space has no pixels.
#ifndef RENDERER_TESTS_FAKE_GLYPH_SOURCE_H
#define RENDERER_TESTS_FAKE_GLYPH_SOURCE_H

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "platform/glyph_source.h"

class FakeGlyphSource : public platform::GlyphSource {
public:
    int32_t ascent = 20, lineHeight = 26;
    std::map<uint16_t, std::pair<uint32_t, uint32_t>> sizes;  // explicit black boxes
    int renderCalls = 0;

    int32_t Ascent() const override { return ascent; }
    int32_t LineHeight() const override { return lineHeight; }
    int32_t GlyphBufferSize(uint16_t c, GlyphMetrics* m) override { return Fill(c, nullptr, m); }
    int32_t RenderGlyph(uint16_t c, uint8_t* buffer, uint32_t size, GlyphMetrics* m) override {
        ++renderCalls;
        if (uint32_t(Fill(c, nullptr, m)) > size) return -1;
        return Fill(c, buffer, m);
    }
    void Box(uint16_t c, uint32_t* w, uint32_t* h) const {
        const auto it = sizes.find(c);
        *w = it != sizes.end() ? it->second.first : c % 7 + 3;
        *h = it != sizes.end() ? it->second.second : c % 5 + 6;
    }
    static uint8_t Level(uint32_t x, uint32_t y, uint32_t w) { return uint8_t((y * w + x) % 64 + 1); }

private:
    int32_t Fill(uint16_t c, uint8_t* buffer, GlyphMetrics* m) {
        uint32_t w = 0, h = 0;
        Box(c, &w, &h);
        m->blackBoxX = w;
        m->blackBoxY = h;
        m->originX = 1;
        m->originY = int32_t(h) - 2;
        m->cellIncX = int16_t(w + 2);
        if (c == u' ') return 0;
        const uint32_t pitch = (w + 3) & ~3u;
        if (buffer) {
            std::memset(buffer, 0, pitch * h);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) buffer[y * pitch + x] = Level(x, y, w);
        }
        return int32_t(pitch * h);
    }
};

// Replaces the renderer's glyph cache with one built from `source` for `text`
// and drops the prepared strips, so that the next preparation uses it.
#include "core/frame_update.h"
#include "core/renderer_impl.h"
#include "text/glyph_cache.h"

inline void UseGlyphSource(CGDIRendererImpl* renderer, platform::GlyphSource* source, const std::u16string& text) {
    if (!renderer->glyphCache) renderer->glyphCache.reset(new CGlyphCache());
    DestroyGlyphCache(renderer->glyphCache.get());
    BuildGlyphCacheWith(renderer->glyphCache.get(), text.c_str(), source);
    ClearAllStripQueues(renderer);
}

#endif
