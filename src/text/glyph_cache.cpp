// glyph_cache.cpp - building the glyph atlases.
//
// Slot n (the glyph's number in rendering order) is column n % 10, row n / 10:
//   plainAtlas     rows of lineHeight; x = sum of the black-box widths before it in the row
//   outlinedAtlas  square cells of L = lineHeight + 2 * outlineWidth at (col * L, row * L)
//   invertedAtlas  the outlined atlas with colour inverted, same alpha
// Grey level v (0..64) becomes alpha 4v, and 255 for 64.
#include "text/glyph_cache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/compositing.h"

namespace {

void PutColour(uint8_t* p, uint32_t rgb, uint8_t alpha) {
    p[0] = uint8_t(rgb);
    p[1] = uint8_t(rgb >> 8);
    p[2] = uint8_t(rgb >> 16);
    p[3] = alpha;
}

uint8_t LevelToAlpha(uint8_t level) { return level >= 64 ? 255 : uint8_t(level * 4); }

// Renders one character into both atlases and records it.
void RenderGlyph(CGlyphCache* c, uint16_t ch) {
    if (ch == 10 || ch == 0xFFFF || c->glyphRects.count(ch)) return;
    GlyphMetrics gm;
    const int32_t size = c->font->GlyphBufferSize(ch, &gm);
    if (size <= 0) return;
    std::vector<uint8_t> buffer(size_t(size), 0);
    if (c->font->RenderGlyph(ch, buffer.data(), uint32_t(size), &gm) != size) return;

    // A black box larger than the slot (an odd font, a combining mark) is cut to
    // the slot, so that nothing is written outside either atlas.
    const uint32_t pitch = (gm.blackBoxX + 3) & ~3u;
    const int32_t fullW = int32_t(std::min<uint32_t>(gm.blackBoxX, 1u << 16));
    const int32_t fullH = int32_t(std::min<uint32_t>(gm.blackBoxY, 1u << 16));
    const int32_t w = std::min(fullW, c->lineHeight);
    int32_t h = std::min(fullH, c->lineHeight);
    if (uint64_t(pitch) * uint32_t(h) > uint64_t(size)) h = int32_t(uint64_t(size) / std::max(pitch, 1u));
    gm.blackBoxX = uint32_t(w);
    gm.blackBoxY = uint32_t(h);

    std::vector<uint8_t> alpha(size_t(w) * size_t(h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) alpha[size_t(y) * size_t(w) + size_t(x)] = LevelToAlpha(buffer[size_t(y) * pitch + size_t(x)]);

    // Outlined tile: every covered pixel stamps its neighbourhood with the
    // outline colour, adding its alpha (saturating); then the tile goes to the cell.
    const int32_t b = c->outlineWidth, tileW = w + 2 * b, tileH = h + 2 * b;
    std::vector<uint8_t> tile(size_t(tileW) * size_t(tileH) * 4, 0);
    auto stamp = [&](int32_t x, int32_t y, uint8_t a) {
        if (x < 0 || y < 0 || x >= tileW || y >= tileH) return;
        uint8_t* p = &tile[(size_t(y) * size_t(tileW) + size_t(x)) * 4];
        PutColour(p, kGlyphOutlineColour, uint8_t(std::min(255, p[3] + a)));
    };
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t a = alpha[size_t(y) * size_t(w) + size_t(x)];
            if (!a) continue;
            const int32_t cx = x + b, cy = y + b;
            for (int32_t k = 0; k < b; ++k) {
                stamp(cx - k, cy, a);
                stamp(cx + k, cy, a);
                for (int32_t row : {cy - k, cy + k}) {
                    stamp(cx, row, a);
                    stamp(cx - k, row, a);
                    stamp(cx + k, row, a);
                }
            }
        }
    const int32_t n = c->glyphCount, L = c->lineHeight + 2 * b;
    const int64_t cellX = int64_t(n % 10) * L, cellY = int64_t(n / 10) * L;
    DibSurface& outlined = c->outlinedAtlas;
    for (int32_t y = 0; y < tileH && cellY + y < outlined.height; ++y)
        for (int32_t x = 0; x < tileW && cellX + x < outlined.width; ++x)
            std::memcpy(SurfacePixel(outlined, int32_t(cellX + x), int32_t(cellY + y)),
                        &tile[(size_t(y) * size_t(tileW) + size_t(x)) * 4], 4);
    c->cellRects[ch] = GlyphRect{int32_t(cellX), int32_t(cellY), L, L};

    // Plain glyph: the fill colour with the coverage as alpha.
    DibSurface& plain = c->plainAtlas;
    for (int32_t y = 0; y < h && c->penY + y < plain.height; ++y)
        for (int32_t x = 0; x < w && c->penX + x < plain.width; ++x) {
            const uint8_t a = alpha[size_t(y) * size_t(w) + size_t(x)];
            uint8_t* p = SurfacePixel(plain, c->penX + x, c->penY + y);
            if (a)
                PutColour(p, kGlyphFillColour, a);
            else
                std::memset(p, 0, 4);
        }

    c->glyphRects.emplace(ch, GlyphRect{c->penX, c->penY, w, h});
    c->glyphOffsets.emplace(ch, GlyphOffset{-gm.originX, gm.originY - c->ascent});
    c->glyphMetrics.emplace(ch, gm);

    ++c->glyphCount;
    c->penX = c->glyphCount % 10 == 0 ? 0 : c->penX + w;
    c->penY = c->lineHeight * (c->glyphCount / 10);
}

}  // namespace

std::u16string CollectSongText(const SongInfo& song) {
    std::u16string text;
    std::vector<bool> seen(65536, false);
    if (!song.lines) return text;
    for (uint32_t i = 0; i < song.lineCount; ++i) {
        const SongLine& line = song.lines[i];
        if (!line.words) continue;
        for (uint32_t w = 0; w < line.wordCount; ++w) {
            const SongWord& word = line.words[w];
            if (!word.text) continue;
            for (uint32_t k = 0; k < word.textLength; ++k) {
                const uint16_t unit = word.text[k];
                if (seen[unit]) continue;
                seen[unit] = true;
                text.push_back(char16_t(unit));
            }
        }
    }
    return text;
}

void BuildGlyphCacheWith(CGlyphCache* c, const char16_t* text, platform::GlyphSource* source) {
    c->glyphRects.clear();
    c->cellRects.clear();
    c->glyphOffsets.clear();
    c->glyphMetrics.clear();
    ReleaseDibSurface(&c->plainAtlas);
    ReleaseDibSurface(&c->invertedAtlas);
    ReleaseDibSurface(&c->outlinedAtlas);
    c->glyphCount = c->penX = c->penY = 0;
    if (!source || !text) return;
    c->font = source;
    c->ascent = source->Ascent();
    c->lineHeight = source->LineHeight();
    c->outlineWidth = 2;

    size_t n = 0;
    while (text[n]) ++n;
    const int64_t rows = n > 10 ? int64_t(n / 10) + 1 : 1;
    const int64_t L = int64_t(c->lineHeight) + 4;
    const bool made = c->lineHeight > 0 && SurfaceByteSize(10 * L, rows * L) > 0 &&
                      CreateDibSurface(int32_t(10 * c->lineHeight), int32_t(rows * c->lineHeight), &c->plainAtlas) &&
                      CreateDibSurface(int32_t(10 * L), int32_t(rows * L), &c->outlinedAtlas) &&
                      CreateDibSurface(int32_t(10 * L), int32_t(rows * L), &c->invertedAtlas);
    if (made)
        for (size_t i = 0; i < n; ++i) RenderGlyph(c, uint16_t(text[i]));
    c->font = nullptr;
    if (!made) return;

    // Finish: blend each plain glyph into its outlined cell and make the record
    // address the outlined tile.
    for (auto& entry : c->glyphRects) {
        const auto cell = c->cellRects.find(entry.first);
        if (cell == c->cellRects.end()) continue;
        GlyphRect& r = entry.second;
        BlendPixels(c->outlinedAtlas.pixels, c->outlinedAtlas.stride, cell->second.x + c->outlineWidth,
                    cell->second.y + c->outlineWidth, c->outlinedAtlas.width, c->outlinedAtlas.height,
                    c->plainAtlas.pixels, c->plainAtlas.stride, r.x, r.y, r.width, r.height, 255);
        r = cell->second;
        const auto offset = c->glyphOffsets.find(entry.first);
        if (offset != c->glyphOffsets.end()) offset->second.dy += c->outlineWidth;
        const GlyphMetrics& gm = FindGlyphMetrics(*c, entry.first);
        r.width = int32_t(gm.blackBoxX) + 2 * c->outlineWidth;
        r.height = int32_t(gm.blackBoxY) + 2 * c->outlineWidth;
    }

    // Sung look: the outlined atlas with colour inverted where it is not transparent.
    const size_t bytes = size_t(c->outlinedAtlas.stride) * size_t(c->outlinedAtlas.height);
    for (size_t i = 0; i < bytes; i += 4) {
        const uint8_t* s = c->outlinedAtlas.pixels + i;
        if (!s[3]) continue;
        uint8_t* d = c->invertedAtlas.pixels + i;
        d[0] = uint8_t(255 - s[0]);
        d[1] = uint8_t(255 - s[1]);
        d[2] = uint8_t(255 - s[2]);
        d[3] = s[3];
    }
}

void BuildGlyphCache(CGlyphCache* cache, const char16_t* text, RendererWindowHandle window) {
    platform::GlyphSource* source = platform::OpenLyricFont(window);
    BuildGlyphCacheWith(cache, text, source);
    platform::CloseLyricFont(source);
}

const GlyphRect& FindGlyphRect(const CGlyphCache& cache, uint16_t ch) {
    static const GlyphRect none;
    const auto found = cache.glyphRects.find(ch);
    return found == cache.glyphRects.end() ? none : found->second;
}

const GlyphOffset& FindGlyphOffset(const CGlyphCache& cache, uint16_t ch) {
    static const GlyphOffset none;
    const auto found = cache.glyphOffsets.find(ch);
    return found == cache.glyphOffsets.end() ? none : found->second;
}

const GlyphMetrics& FindGlyphMetrics(const CGlyphCache& cache, uint16_t ch) {
    static const GlyphMetrics none;
    const auto found = cache.glyphMetrics.find(ch);
    return found == cache.glyphMetrics.end() ? none : found->second;
}

void DestroyGlyphCache(CGlyphCache* cache) {
    if (!cache) return;
    ReleaseDibSurface(&cache->plainAtlas);
    ReleaseDibSurface(&cache->invertedAtlas);
    ReleaseDibSurface(&cache->outlinedAtlas);
    cache->glyphRects.clear();
    cache->cellRects.clear();
    cache->glyphOffsets.clear();
    cache->glyphMetrics.clear();
}
