// The glyph cache through GDI under Wine: "微软雅黑" (mapped to an installed CJK
// font) renders Chinese, Latin and accented characters with GetGlyphOutlineW,
// and the cache keeps its structural invariants.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/renderer_impl.h"
#include "screen.h"
#include "text/glyph_cache.h"
#include "glyph_invariants.h"

namespace {

TEST(Win32GlyphCache, GdiGlyphsKeepTheStructuralInvariants) {
    auto* renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
    HWND host = screen::CreateHostWindow(0, 0, 700, 300, RGB(0, 0, 0));
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1, false));
    CGlyphCache cache;
    const std::u16string text = u"茉莉花 Jasmine ÀéÇñ\n好";
    BuildGlyphCache(&cache, text.c_str(), renderer->window);
    EXPECT_GE(cache.lineHeight, 24);
    EXPECT_GT(cache.ascent, 0);
    EXPECT_EQ(int(text.size()) - 3, cache.glyphCount);  // two spaces and the line feed
    EXPECT_EQ(0, FindGlyphRect(cache, u' ').width);
    EXPECT_GT(FindGlyphRect(cache, u'茉').width, 16);
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 500);
    DestroyGlyphCache(&cache);

    // Code units the font lacks take no room: surrogate halves, U+FFFF, unassigned.
    const std::u16string odd = {u'a', char16_t(0xD83D), char16_t(0xDE00), char16_t(0xFFFF), char16_t(0x0378),
                                char16_t(0xD800)};
    BuildGlyphCache(&cache, odd.c_str(), renderer->window);
    EXPECT_GT(FindGlyphRect(cache, u'a').width, 0);
    for (char16_t c : {char16_t(0xD83D), char16_t(0xDE00), char16_t(0xFFFF), char16_t(0x0378), char16_t(0xD800)})
        EXPECT_EQ(0, FindGlyphRect(cache, c).width) << int(c);
    DestroyGlyphCache(&cache);
    renderer->Uninit();
    DestroyWindow(host);
}

}  // namespace
