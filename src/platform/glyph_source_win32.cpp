// glyph_source_win32.cpp - the lyric font through GDI: a memory DC compatible with
// the display window, "微软雅黑" at 24 pixels, GetGlyphOutlineW with GGO_GRAY8_BITMAP.
#include <windows.h>

#include "platform/glyph_source.h"

namespace platform {

namespace {

class GdiGlyphSource final : public GlyphSource {
public:
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previousFont = nullptr;
    TEXTMETRICA metrics = {};

    ~GdiGlyphSource() override {
        if (dc && previousFont) SelectObject(dc, previousFont);
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
    }
    int32_t Ascent() const override { return metrics.tmAscent; }
    int32_t LineHeight() const override { return metrics.tmHeight; }

    int32_t GlyphBufferSize(uint16_t character, GlyphMetrics* out) override {
        return Outline(character, nullptr, 0, out);
    }
    int32_t RenderGlyph(uint16_t character, uint8_t* buffer, uint32_t size, GlyphMetrics* out) override {
        return Outline(character, buffer, size, out);
    }

private:
    int32_t Outline(uint16_t character, uint8_t* buffer, uint32_t size, GlyphMetrics* out) {
        *out = GlyphMetrics();
        // A character the font does not have (a lone surrogate, an unassigned code
        // point) would be drawn as the font's box: it gets no glyph instead.
        WORD index = 0;
        const wchar_t ch = wchar_t(character);
        if (GetGlyphIndicesW(dc, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
            return -1;
        GLYPHMETRICS gm = {};
        MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        const DWORD result = GetGlyphOutlineW(dc, character, GGO_GRAY8_BITMAP, &gm, size, buffer, &identity);
        out->blackBoxX = gm.gmBlackBoxX;
        out->blackBoxY = gm.gmBlackBoxY;
        out->originX = gm.gmptGlyphOrigin.x;
        out->originY = gm.gmptGlyphOrigin.y;
        out->cellIncX = gm.gmCellIncX;
        out->cellIncY = gm.gmCellIncY;
        return result == GDI_ERROR ? -1 : int32_t(result);
    }
};

}  // namespace

GlyphSource* OpenLyricFont(RendererWindowHandle window) {
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
    source->font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                               L"\u5FAE\u8F6F\u96C5\u9ED1");  // 微软雅黑
    if (!source->font) {
        delete source;
        return nullptr;
    }
    source->previousFont = SelectObject(dc, source->font);
    GetTextMetricsA(dc, &source->metrics);
    return source;
}

void CloseLyricFont(GlyphSource* source) { delete source; }

}  // namespace platform
