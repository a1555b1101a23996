// The glyph cache through GDI under Wine: "微软雅黑" (mapped to an installed CJK
// font) renders Chinese, Latin and accented characters with GetGlyphOutlineW,
// spaces are empty cells of their advance, Thai, Hebrew and Devanagari come from
// the fallback fonts, an emoji pair through Uniscribe, and a code point no font
// has draws the box; the cache keeps its structural invariants.
#include <gtest/gtest.h>
#include <windows.h>
#include <stb_image_write.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/renderer_impl.h"
#include "screen.h"
#include "text/glyph_cache.h"
#include "glyph_invariants.h"

namespace {

class Win32GlyphCache : public ::testing::Test {
protected:
    void SetUp() override {
        renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
        host = screen::CreateHostWindow(0, 0, 700, 300, RGB(0, 0, 0));
        RendererLayout layout = renderer->layout;
        ASSERT_TRUE(
            renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1, false));
    }
    void TearDown() override {
        DestroyGlyphCache(&cache);
        renderer->Uninit();
        DestroyWindow(host);
    }
    CGDIRendererImpl* renderer = nullptr;
    HWND host = nullptr;
    CGlyphCache cache;
};

TEST_F(Win32GlyphCache, GdiGlyphsKeepTheStructuralInvariants) {
    const std::u16string text = u"茉莉花 Jasmine ÀéÇñ\n好";
    BuildGlyphCache(&cache, text.c_str(), renderer->window);
    EXPECT_GE(cache.lineHeight, 24);
    EXPECT_GT(cache.ascent, 0);
    EXPECT_EQ(int(text.size()) - 3, cache.glyphCount);  // two spaces (empty cells) and the line feed
    EXPECT_GT(FindGlyphRect(cache, u' ').width, 0);
    EXPECT_EQ(0, FindGlyphRect(cache, u' ').height);
    EXPECT_GT(FindGlyphRect(cache, u'茉').width, 16);
    EXPECT_GT(ExpectGlyphCacheInvariants(cache), 500);
    DestroyGlyphCache(&cache);

    // Code units that are no character take no room: broken pair halves, U+FFFF,
    // control characters.
    const std::u16string odd = {u'a', char16_t(0xDE00), char16_t(0xFFFF), char16_t(0x0001), char16_t(0xD800)};
    BuildGlyphCache(&cache, odd.c_str(), renderer->window);
    EXPECT_GT(FindGlyphRect(cache, u'a').width, 0);
    for (char16_t c : {char16_t(0xDE00), char16_t(0xFFFF), char16_t(0x0001), char16_t(0xD800)})
        EXPECT_EQ(0, FindGlyphRect(cache, c).width) << int(c);
}

// Thai, Hebrew and Devanagari from the fallback fonts on the lyric font's line,
// an emoji pair as one glyph, the box for U+0378; the same glyphs for a second
// song from the font kept open.
TEST_F(Win32GlyphCache, EveryScriptIsDrawn) {
    BuildGlyphCache(&cache, ScriptSampleText().c_str(), renderer->window);
    ASSERT_GE(cache.lineHeight, 24);
    ExpectScriptsDrawn(cache);
    const DibSurface first = cache.outlinedAtlas;
    std::vector<uint8_t> pixels(first.pixels, first.pixels + size_t(first.stride) * size_t(first.height));
    // Saved for a person to look at.
    std::vector<uint8_t> rgba(pixels.size());
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const int a = pixels[i + 3];
        for (int c = 0; c < 3; ++c) rgba[i + size_t(c)] = uint8_t((pixels[i + 2 - size_t(c)] * a + 40 * (255 - a)) / 255);
        rgba[i + 3] = 255;
    }
    stbi_write_png("win32_glyph_atlas_scripts.png", first.width, first.height, 4, rgba.data(), first.width * 4);
    DestroyGlyphCache(&cache);
    BuildGlyphCache(&cache, u"x", renderer->window);
    DestroyGlyphCache(&cache);
    BuildGlyphCache(&cache, ScriptSampleText().c_str(), renderer->window);
    ASSERT_EQ(size_t(cache.outlinedAtlas.stride) * size_t(cache.outlinedAtlas.height), pixels.size());
    EXPECT_EQ(0, std::memcmp(pixels.data(), cache.outlinedAtlas.pixels, pixels.size()));
}

}  // namespace
