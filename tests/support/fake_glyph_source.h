// fake_glyph_source.h - a glyph source with made-up, exactly known glyphs.
//
// Character c renders as a black box of width (c % 7) + 3 and height (c % 5) + 6
// (or an explicit size), whose grey levels count 1, 2, ... 64, 1, ... row by row,
// origin (1, height - 2) (or an explicit origin), advance width + 2.  Space
// separators have no pixels.  Characters can be marked as coming from a fallback
// font or as missing from every font; the missing-glyph box is 8 x 12 of level 64
// with origin (1, 14).
#ifndef RENDERER_TESTS_FAKE_GLYPH_SOURCE_H
#define RENDERER_TESTS_FAKE_GLYPH_SOURCE_H

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/glyph_source.h"

class FakeGlyphSource : public platform::GlyphSource {
public:
    int32_t ascent = 20, lineHeight = 26;
    std::map<uint32_t, std::pair<uint32_t, uint32_t>> sizes;   // explicit black boxes
    std::map<uint32_t, std::pair<int32_t, int32_t>> origins;   // explicit glyph origins
    std::set<uint32_t> fallback;                                // drawn by a fallback font
    std::set<uint32_t> missing;                                 // in no font
    int renderCalls = 0;
    std::map<uint32_t, int> renderedCodePoints;  // RenderGlyph calls per code point
    std::vector<uint32_t> prepared;              // the last PrepareText

    int32_t Ascent() const override { return ascent; }
    int32_t LineHeight() const override { return lineHeight; }
    void PrepareText(const uint32_t* codePoints, size_t count) override {
        prepared.assign(codePoints, codePoints + count);
    }
    platform::GlyphFace FaceFor(uint32_t c) override {
        if (c == platform::kMissingGlyphBox || missing.count(c)) return platform::GlyphFace::kMissing;
        return fallback.count(c) ? platform::GlyphFace::kFallback : platform::GlyphFace::kLyric;
    }
    int32_t GlyphBufferSize(uint32_t c, GlyphMetrics* m) override { return Fill(c, nullptr, m); }
    int32_t RenderGlyph(uint32_t c, uint8_t* buffer, uint32_t size, GlyphMetrics* m) override {
        ++renderCalls;
        ++renderedCodePoints[c];
        if (uint32_t(Fill(c, nullptr, m)) > size) return -1;
        return Fill(c, buffer, m);
    }
    void Box(uint32_t c, uint32_t* w, uint32_t* h) const {
        const auto it = sizes.find(c);
        *w = it != sizes.end() ? it->second.first : c % 7 + 3;
        *h = it != sizes.end() ? it->second.second : c % 5 + 6;
    }
    static bool IsSpace(uint32_t c) {
        return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
               c == 0x205F || c == 0x3000;
    }
    static uint8_t Level(uint32_t x, uint32_t y, uint32_t w) { return uint8_t((y * w + x) % 64 + 1); }

private:
    int32_t Fill(uint32_t c, uint8_t* buffer, GlyphMetrics* m) {
        if (FaceFor(c) == platform::GlyphFace::kMissing) return Missing(buffer, m);
        uint32_t w = 0, h = 0;
        Box(c, &w, &h);
        const auto origin = origins.find(c);
        m->blackBoxX = w;
        m->blackBoxY = h;
        m->originX = origin != origins.end() ? origin->second.first : 1;
        m->originY = origin != origins.end() ? origin->second.second : int32_t(h) - 2;
        m->cellIncX = int16_t(w + 2);
        if (IsSpace(c)) return 0;
        const uint32_t pitch = (w + 3) & ~3u;
        if (buffer) {
            std::memset(buffer, 0, pitch * h);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) buffer[y * pitch + x] = Level(x, y, w);
        }
        return int32_t(pitch * h);
    }
    static int32_t Missing(uint8_t* buffer, GlyphMetrics* m) {
        m->blackBoxX = 8;
        m->blackBoxY = 12;
        m->originX = 1;
        m->originY = 14;
        m->cellIncX = 10;
        if (buffer) std::memset(buffer, 64, 8 * 12);
        return 8 * 12;
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
