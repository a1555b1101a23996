// glyph_cache.cpp - building the glyph atlases.
//
// Slot n (the glyph's number in rendering order) is column n % 10, row n / 10:
//   plainAtlas     rows of lineHeight; x = sum of the black-box widths before it in the row
//   outlinedAtlas  square cells of L = lineHeight + 2 * outlineWidth at (col * L, row * L)
//   invertedAtlas  the outlined atlas with colour inverted, same alpha
// Grey level v (0..64) becomes alpha 4v, and 255 for 64.
//
// Which characters get what:
//   the lyric font has it          its glyph (a space separator: an empty cell of its advance)
//   a control or default-ignorable character the lyric font lacks    nothing, no room
//   a fallback font has it         the fallback glyph, cut to the lyric font's line
//   no font has it                 the missing-glyph box, rendered once and shared
//   no slot left in the budget     the missing-glyph box as well
#include "text/glyph_cache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/compositing.h"

namespace {

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The Unicode space separators (general category Zs).
bool IsSpaceSeparator(uint32_t cp) {
    return cp == 0x20 || cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F ||
           cp == 0x205F || cp == 0x3000;
}

// Control characters and the default-ignorable code points: invisible by nature,
// so a font that lacks them is no reason to draw the box.
bool IsNeverDrawn(uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xAD || cp == 0x34F || cp == 0x61C ||
           (cp >= 0x115F && cp <= 0x1160) || (cp >= 0x17B4 && cp <= 0x17B5) || (cp >= 0x180B && cp <= 0x180F) ||
           (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F) ||
           cp == 0x3164 || (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF || cp == 0xFFA0 ||
           (cp >= 0xFFF0 && cp <= 0xFFF8) || (cp >= 0x1BCA0 && cp <= 0x1BCA3) || (cp >= 0x1D173 && cp <= 0x1D17A) ||
           (cp >= 0xE0000 && cp <= 0xE0FFF);
}

void PutColour(uint8_t* p, uint32_t rgb, uint8_t alpha) {
    p[0] = uint8_t(rgb);
    p[1] = uint8_t(rgb >> 8);
    p[2] = uint8_t(rgb >> 16);
    p[3] = alpha;
}

uint8_t LevelToAlpha(uint8_t level) { return level >= 64 ? 255 : uint8_t(level * 4); }

// One build: the cache, its font, the slots the budget allows, and the units that
// share the missing-glyph box.
struct Build {
    CGlyphCache* c = nullptr;
    platform::GlyphSource* font = nullptr;
    int64_t slots = 0;          // slots of the atlases
    bool mayOverflow = false;   // fewer slots than units: keep one for the box
    int32_t boxKey = -1;        // the unit whose records hold the box, once rendered
    std::vector<std::pair<uint16_t, uint16_t>> aliases;  // unit -> unit whose records it shares
    std::vector<bool> aliased = std::vector<bool>(65536, false);
};

bool HasRecord(const Build& b, uint16_t key) { return b.aliased[key] || b.c->glyphRects.count(key); }

// Puts a rendered bitmap into the next slot of both atlases and records it.  The
// bitmap's rows start `firstRow` rows into `buffer`.
void PlaceGlyph(CGlyphCache* c, uint16_t ch, const uint8_t* buffer, size_t size, uint32_t firstRow,
                GlyphMetrics gm) {
    // A black box larger than the slot (an odd font, a combining mark) is cut to
    // the slot, so that nothing is written outside either atlas.
    const uint32_t pitch = (gm.blackBoxX + 3) & ~3u;
    const int32_t fullW = int32_t(std::min<uint32_t>(gm.blackBoxX, 1u << 16));
    const int32_t fullH = int32_t(std::min<uint32_t>(gm.blackBoxY, 1u << 16));
    const int32_t w = std::min(fullW, c->lineHeight);
    int32_t h = std::min(fullH, c->lineHeight);
    const uint64_t start = uint64_t(pitch) * firstRow;
    if (start + uint64_t(pitch) * uint32_t(h) > uint64_t(size))
        h = start > size ? 0 : int32_t((uint64_t(size) - start) / std::max(pitch, 1u));
    buffer += start;
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

// A fallback glyph, drawn at the lyric font's size but with its own ascent and
// descent, is fitted to the lyric font's line: its black-box rows must land
// between outlineWidth below the line's top (so that the outlined tile starts
// inside the strip and the glyph keeps the baseline) and lineHeight, where black-box
// row r lands at ascent - originY + r:
//   first row  t = max(0, originY - ascent + outlineWidth)
//   last row   < lineHeight - ascent + originY
// and it never starts left of the pen (originX >= 0), where its transparent
// pixels would clear the glyph before it.  Returns the first row kept; the
// metrics describe the rows kept.  A glyph with no row left gets height 0.
uint32_t FitToLine(const CGlyphCache& c, GlyphMetrics* gm) {
    const int64_t originY = gm->originY;
    const int64_t first = std::max<int64_t>(0, originY - c.ascent + c.outlineWidth);
    const int64_t end = std::min<int64_t>(gm->blackBoxY, int64_t(c.lineHeight) - c.ascent + originY);
    gm->blackBoxY = uint32_t(std::max<int64_t>(0, end - first));
    gm->originY = int32_t(std::max<int64_t>(INT32_MIN, originY - first));
    gm->originX = std::max(0, gm->originX);
    return uint32_t(std::min<int64_t>(first, UINT32_MAX));
}

// Renders `codePoint` from the face the source chooses into the next slot under
// `key`: false when it has no pixels (or renders differently the second time).
bool RenderInto(Build* b, uint16_t key, uint32_t codePoint, bool fit) {
    GlyphMetrics gm;
    const int32_t size = b->font->GlyphBufferSize(codePoint, &gm);
    if (size <= 0) return false;
    std::vector<uint8_t> buffer(size_t(size), 0);
    if (b->font->RenderGlyph(codePoint, buffer.data(), uint32_t(size), &gm) != size) return false;
    const uint32_t firstRow = fit ? FitToLine(*b->c, &gm) : 0;
    if (gm.blackBoxY == 0) return false;
    PlaceGlyph(b->c, key, buffer.data(), buffer.size(), firstRow, gm);
    return true;
}

// The unit draws the missing-glyph box: rendered into a slot the first time, then
// shared.
void DrawBox(Build* b, uint16_t key) {
    if (b->boxKey >= 0) {
        b->aliases.emplace_back(key, uint16_t(b->boxKey));
        b->aliased[key] = true;
        return;
    }
    if (b->c->glyphCount >= b->slots) return;
    if (RenderInto(b, key, platform::kMissingGlyphBox, false)) b->boxKey = key;
}

// An empty cell as wide as the space's advance; a space no font has takes the
// advance of U+0020.
void RecordSpace(Build* b, uint16_t key, uint32_t codePoint) {
    GlyphMetrics gm;
    const bool has = b->font->FaceFor(codePoint) != platform::GlyphFace::kMissing;
    b->font->GlyphBufferSize(has ? codePoint : 0x20, &gm);
    if (gm.cellIncX <= 0) return;
    b->c->glyphRects.emplace(key, GlyphRect{0, 0, gm.cellIncX, 0});
    b->c->glyphOffsets.emplace(key, GlyphOffset{});
    b->c->glyphMetrics.emplace(key, gm);
}

// Renders one character into both atlases and records it under its unit.
void RenderGlyph(Build* b, const GlyphItem& item) {
    const uint16_t key = item.key;
    if (key == 10 || key == 0xFFFF || HasRecord(*b, key)) return;
    if (IsSpaceSeparator(item.codePoint)) {
        RecordSpace(b, key, item.codePoint);
        return;
    }
    // With the atlases about to be full, one slot stays for the box.
    const int64_t reserve = b->mayOverflow && b->boxKey < 0 ? 1 : 0;
    if (item.box || b->c->glyphCount >= b->slots - reserve) {
        DrawBox(b, key);
        return;
    }
    switch (b->font->FaceFor(item.codePoint)) {
    case platform::GlyphFace::kLyric:
        RenderInto(b, key, item.codePoint, false);
        return;
    case platform::GlyphFace::kFallback:
        if (!IsNeverDrawn(item.codePoint)) RenderInto(b, key, item.codePoint, true);
        return;
    case platform::GlyphFace::kMissing:
        if (!IsNeverDrawn(item.codePoint)) DrawBox(b, key);
        return;
    }
}

}  // namespace

std::u16string CollectSongText(const SongInfo& song) {
    std::u16string text;
    std::vector<bool> seen(65536, false);
    std::vector<bool> seenPairs;  // one bit per supplementary code point, made at the first pair
    if (!song.lines) return text;
    for (uint32_t i = 0; i < song.lineCount; ++i) {
        const SongLine& line = song.lines[i];
        if (!line.words) continue;
        for (uint32_t w = 0; w < line.wordCount; ++w) {
            const SongWord& word = line.words[w];
            if (!word.text) continue;
            for (uint32_t k = 0; k < word.textLength; ++k) {
                const uint16_t unit = word.text[k];
                if (IsHighSurrogate(unit) && k + 1 < word.textLength && IsLowSurrogate(word.text[k + 1])) {
                    const uint16_t low = word.text[++k];
                    const size_t pair = size_t(unit - 0xD800) << 10 | size_t(low - 0xDC00);
                    if (seenPairs.empty()) seenPairs.resize(size_t(1) << 20, false);
                    if (seenPairs[pair]) continue;
                    seenPairs[pair] = true;
                    text.push_back(char16_t(unit));
                    text.push_back(char16_t(low));
                    continue;
                }
                if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || seen[unit]) continue;
                seen[unit] = true;
                text.push_back(char16_t(unit));
            }
        }
    }
    return text;
}

std::vector<GlyphItem> GlyphItems(const char16_t* text, size_t length) {
    std::vector<GlyphItem> items;
    if (!text) return items;
    // The distinct pairs, seen from both halves (indices 0..1023 of each half).
    std::vector<bool> seenPairs;
    std::vector<std::vector<uint16_t>> lowsOf, highsOf;
    auto isPair = [&](size_t i) { return i + 1 < length && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1]); };
    for (size_t i = 0; i < length; ++i) {
        if (!isPair(i)) continue;
        const uint16_t high = uint16_t(text[i] - 0xD800), low = uint16_t(text[i + 1] - 0xDC00);
        if (seenPairs.empty()) {
            seenPairs.resize(size_t(1) << 20, false);
            lowsOf.resize(1024);
            highsOf.resize(1024);
        }
        if (!seenPairs[size_t(high) << 10 | low]) {
            seenPairs[size_t(high) << 10 | low] = true;
            lowsOf[high].push_back(low);
            highsOf[low].push_back(high);
        }
        ++i;
    }
    // A first unit shared by different pairs gives its pairs' glyphs to their second
    // units; each second unit so taken must then be left by every other pair too,
    // whose first units therefore give up their glyphs as well, and so on.
    std::vector<bool> deferred(lowsOf.size(), false), taken(highsOf.size(), false);
    std::vector<uint16_t> work;
    for (size_t h = 0; h < lowsOf.size(); ++h)
        if (lowsOf[h].size() > 1) {
            deferred[h] = true;
            work.push_back(uint16_t(h));
        }
    while (!work.empty()) {
        const uint16_t h = work.back();
        work.pop_back();
        for (uint16_t low : lowsOf[h]) {
            if (taken[low]) continue;
            taken[low] = true;
            for (uint16_t other : highsOf[low])
                if (!deferred[other]) {
                    deferred[other] = true;
                    work.push_back(other);
                }
        }
    }
    for (size_t i = 0; i < length; ++i) {
        const uint16_t unit = uint16_t(text[i]);
        if (isPair(i)) {
            const uint16_t high = uint16_t(unit - 0xD800), low = uint16_t(text[i + 1] - 0xDC00);
            const uint32_t codePoint = 0x10000 + (uint32_t(high) << 10 | low);
            if (!deferred[high])
                items.push_back(GlyphItem{unit, codePoint, false});
            else
                items.push_back(GlyphItem{uint16_t(text[i + 1]), codePoint, highsOf[low].size() > 1});
            ++i;
            continue;
        }
        if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) items.push_back(GlyphItem{unit, unit, false});
    }
    return items;
}

int64_t GlyphAtlasRows(size_t length, int32_t lineHeight) {
    const int64_t rows = length > 10 ? int64_t(length / 10) + 1 : 1;
    const int64_t lh = lineHeight, L = lh + 4;
    // Bytes of one slot row: plainAtlas 10 lh x lh, outlined and inverted 10 L x L each.
    const int64_t rowBytes = 4 * (10 * lh * lh + 2 * 10 * L * L);
    if (lineHeight <= 0 || rowBytes <= 0) return 0;
    return std::min(rows, kGlyphAtlasBudget / rowBytes);
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
    const int64_t rows = GlyphAtlasRows(n, c->lineHeight);
    const int64_t L = int64_t(c->lineHeight) + 4;
    const bool made = rows > 0 && SurfaceByteSize(10 * L, rows * L) > 0 &&
                      CreateDibSurface(int32_t(10 * c->lineHeight), int32_t(rows * c->lineHeight), &c->plainAtlas) &&
                      CreateDibSurface(int32_t(10 * L), int32_t(rows * L), &c->outlinedAtlas) &&
                      CreateDibSurface(int32_t(10 * L), int32_t(rows * L), &c->invertedAtlas);
    Build b;
    if (made) {
        const std::vector<GlyphItem> items = GlyphItems(text, n);
        std::vector<uint32_t> codePoints(items.size());
        for (size_t i = 0; i < items.size(); ++i) codePoints[i] = items[i].codePoint;
        source->PrepareText(codePoints.data(), codePoints.size());
        b.c = c;
        b.font = source;
        b.slots = rows * 10;
        b.mayOverflow = b.slots < int64_t(n);
        for (const GlyphItem& item : items) RenderGlyph(&b, item);
    }
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
    // Units that share the box take its finished records.
    for (const auto& alias : b.aliases) {
        const auto rect = c->glyphRects.find(alias.second);
        if (rect == c->glyphRects.end()) continue;
        c->glyphRects[alias.first] = rect->second;
        c->cellRects[alias.first] = c->cellRects[alias.second];
        c->glyphOffsets[alias.first] = c->glyphOffsets[alias.second];
        c->glyphMetrics[alias.first] = c->glyphMetrics[alias.second];
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
    BuildGlyphCacheWith(cache, text, platform::LyricFont(window));
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
