// glyph_source_win32.cpp - the lyric font through GDI: a memory DC compatible with
// the display window, "微软雅黑" at 24 pixels, GetGlyphOutlineW with GGO_GRAY8_BITMAP.
//
// A character "微软雅黑" lacks (GetGlyphIndicesW marks it missing) is drawn from the
// first font of a short list of fonts Windows ships per script that has it, at the
// same height; characters beyond the Basic Multilingual Plane are looked up with
// Uniscribe (ScriptShape), which reads surrogate pairs.  When no listed font has
// it, glyph 0 of the lyric font (its missing-glyph box) stands for it.  The DC and
// every font once created stay for the life of the process.
#include <windows.h>
#include <usp10.h>

#include "platform/glyph_source.h"

namespace platform {

namespace {

// Tried in this order for characters the lyric font lacks.
const wchar_t* const kFallbackFaces[] = {
    L"Segoe UI",         // the system interface font: Latin, Greek, Cyrillic, Hebrew, Arabic, Georgian, Armenian
    L"Leelawadee UI",    // Thai, Lao, Khmer (Windows 8 on)
    L"Tahoma",           // Thai, Hebrew, Arabic before that
    L"Nirmala UI",       // Devanagari and the other Indic scripts (Windows 8 on)
    L"Mangal",           // Devanagari before that
    L"Malgun Gothic",    // Hangul
    L"Segoe UI Emoji",   // emoji, as outlines
    L"Segoe UI Symbol",  // symbols, dingbats
};
constexpr int kFallbackCount = int(sizeof(kFallbackFaces) / sizeof(kFallbackFaces[0]));

HFONT CreateLyricSizeFont(const wchar_t* face) {
    return CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

struct Face {
    HFONT font = nullptr;
    SCRIPT_CACHE script = nullptr;  // Uniscribe's cache for this font
    WORD defaultGlyph = 0;
    bool tried = false;  // created (or found unusable) already
    bool usable = false;
};

class GdiGlyphSource final : public GlyphSource {
public:
    HDC dc = nullptr;
    Face lyric;
    HGDIOBJ previousFont = nullptr;
    TEXTMETRICA metrics = {};
    Face fallbacks[kFallbackCount];

    ~GdiGlyphSource() override {
        if (dc && previousFont) SelectObject(dc, previousFont);
        for (Face& f : fallbacks) Release(&f);
        Release(&lyric);
        if (dc) DeleteDC(dc);
    }
    int32_t Ascent() const override { return metrics.tmAscent; }
    int32_t LineHeight() const override { return metrics.tmHeight; }

    GlyphFace FaceFor(uint32_t cp) override {
        Choose(cp);
        return chosenKind;
    }
    int32_t GlyphBufferSize(uint32_t cp, GlyphMetrics* out) override { return Outline(cp, nullptr, 0, out); }
    int32_t RenderGlyph(uint32_t cp, uint8_t* buffer, uint32_t size, GlyphMetrics* out) override {
        return Outline(cp, buffer, size, out);
    }

    // Reads the default glyph of the font selected into the DC.
    void ReadDefaultGlyph(Face* f) {
        SCRIPT_FONTPROPERTIES properties = {};
        properties.cBytes = sizeof(properties);
        if (ScriptGetFontProperties(dc, &f->script, &properties) == S_OK) f->defaultGlyph = properties.wgDefault;
    }

private:
    uint32_t chosen = 0xFFFFFFFF;
    GlyphFace chosenKind = GlyphFace::kMissing;
    Face* chosenFace = nullptr;
    WORD chosenIndex = 0;

    static void Release(Face* f) {
        if (f->script) ScriptFreeCache(&f->script);
        if (f->font) DeleteObject(f->font);
        f->font = nullptr;
    }

    // The glyph of `cp` in the font selected into the DC, or 0 when it has none.
    WORD GlyphIndex(Face* f, uint32_t cp) {
        if (cp < 0x10000) {
            WORD index = 0;
            const wchar_t ch = wchar_t(cp);
            if (GetGlyphIndicesW(dc, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
                return 0;
            return index;
        }
        // A surrogate pair: Uniscribe maps it through the font's full character map.
        const wchar_t pair[2] = {wchar_t(0xD800 + ((cp - 0x10000) >> 10)), wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF))};
        SCRIPT_ITEM items[3] = {};
        int itemCount = 0;
        if (ScriptItemize(pair, 2, 2, nullptr, nullptr, items, &itemCount) != S_OK || itemCount < 1) return 0;
        WORD glyphs[4] = {}, clusters[2] = {};
        SCRIPT_VISATTR attributes[4] = {};
        int glyphCount = 0;
        if (ScriptShape(dc, &f->script, pair, 2, 4, &items[0].a, glyphs, clusters, attributes, &glyphCount) != S_OK ||
            glyphCount != 1 || glyphs[0] == f->defaultGlyph)
            return 0;
        return glyphs[0];
    }

    // Creates a fallback font on first use; one that GDI maps to the lyric face is
    // of no use.
    bool Usable(int i) {
        Face& f = fallbacks[i];
        if (f.tried) return f.usable;
        f.tried = true;
        f.font = CreateLyricSizeFont(kFallbackFaces[i]);
        if (!f.font) return false;
        wchar_t lyricName[LF_FACESIZE] = {}, name[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, lyricName);
        SelectObject(dc, f.font);
        GetTextFaceW(dc, LF_FACESIZE, name);
        ReadDefaultGlyph(&f);
        SelectObject(dc, lyric.font);
        f.usable = lstrcmpiW(name, lyricName) != 0;
        return f.usable;
    }

    void Choose(uint32_t cp) {
        if (cp == chosen) return;
        chosen = cp;
        chosenKind = GlyphFace::kMissing;
        chosenFace = &lyric;
        chosenIndex = 0;
        if (cp >= 0x110000 || (cp >= 0xD800 && cp <= 0xDFFF)) return;
        if (WORD index = GlyphIndex(&lyric, cp)) {
            chosenKind = GlyphFace::kLyric;
            chosenIndex = index;
            return;
        }
        for (int i = 0; i < kFallbackCount; ++i) {
            if (!Usable(i)) continue;
            SelectObject(dc, fallbacks[i].font);
            const WORD index = GlyphIndex(&fallbacks[i], cp);
            SelectObject(dc, lyric.font);
            if (!index) continue;
            chosenKind = GlyphFace::kFallback;
            chosenFace = &fallbacks[i];
            chosenIndex = index;
            return;
        }
    }

    int32_t Outline(uint32_t cp, uint8_t* buffer, uint32_t size, GlyphMetrics* out) {
        *out = GlyphMetrics();
        Choose(cp);
        GLYPHMETRICS gm = {};
        MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        DWORD result = GDI_ERROR;
        if (chosenKind == GlyphFace::kLyric && cp < 0x10000) {
            result = GetGlyphOutlineW(dc, cp, GGO_GRAY8_BITMAP, &gm, size, buffer, &identity);
        } else {
            if (chosenFace != &lyric) SelectObject(dc, chosenFace->font);
            result = GetGlyphOutlineW(dc, chosenIndex, GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX, &gm, size, buffer,
                                      &identity);
            if (chosenFace != &lyric) SelectObject(dc, lyric.font);
        }
        // A glyph without pixels (a space) may come back without its metrics;
        // GGO_METRICS always gives them, the advance above all.
        if (result == GDI_ERROR || result == 0) {
            GLYPHMETRICS metricsOnly = {};
            if (chosenFace != &lyric) SelectObject(dc, chosenFace->font);
            const bool byIndex = !(chosenKind == GlyphFace::kLyric && cp < 0x10000);
            if (GetGlyphOutlineW(dc, byIndex ? chosenIndex : cp, GGO_METRICS | (byIndex ? GGO_GLYPH_INDEX : 0),
                                 &metricsOnly, 0, nullptr, &identity) != GDI_ERROR)
                gm = metricsOnly;
            if (chosenFace != &lyric) SelectObject(dc, lyric.font);
        }
        out->blackBoxX = gm.gmBlackBoxX;
        out->blackBoxY = gm.gmBlackBoxY;
        out->originX = gm.gmptGlyphOrigin.x;
        out->originY = gm.gmptGlyphOrigin.y;
        out->cellIncX = gm.gmCellIncX;
        out->cellIncY = gm.gmCellIncY;
        return result == GDI_ERROR ? -1 : int32_t(result);
    }
};

GdiGlyphSource* OpenLyricFont(RendererWindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    HDC windowDC = GetDC(hwnd);
    HDC dc = CreateCompatibleDC(windowDC);
    ReleaseDC(hwnd, windowDC);
    if (!dc) return nullptr;
    auto* source = new GdiGlyphSource();
    source->dc = dc;
    SetMapMode(dc, MM_TEXT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    source->lyric.font = CreateLyricSizeFont(L"\u5FAE\u8F6F\u96C5\u9ED1");  // 微软雅黑
    if (!source->lyric.font) {
        delete source;
        return nullptr;
    }
    source->previousFont = SelectObject(dc, source->lyric.font);
    GetTextMetricsA(dc, &source->metrics);
    source->ReadDefaultGlyph(&source->lyric);
    return source;
}

}  // namespace

GlyphSource* LyricFont(RendererWindowHandle window) {
    // Kept for the life of the process: the DC and fonts are few and fixed.
    static GdiGlyphSource* source = nullptr;
    if (!source) source = OpenLyricFont(window);
    return source;
}

}  // namespace platform
