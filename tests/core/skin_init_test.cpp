// Initialisation with a skin: the background strips tiled from the skin images,
// the separator at the time marker, the cursor strip, LoadSkin, and skins whose
// backgrounds are missing.
#include <cstring>

#include "core/layout.h"

#include "imaging/skin.h"
#include "renderer_fixture.h"
#include "test_files.h"

namespace {

class SkinInit : public RendererTest {
protected:
    std::string FlatSkin() { return test_files::SourceDir() + "/tests/data/flat_skin"; }
    bool Init(const std::string& skin, RendererLayout layout) {
        return renderer->Init(skin.c_str(), host, 0, 0, &layout, 1, false);
    }
    static bool SamePixel(const DibSurface& a, int ax, int ay, const DibSurface& b, int bx, int by) {
        return std::memcmp(SurfacePixel(a, ax, ay), SurfacePixel(b, bx, by), 4) == 0;
    }
};

TEST_F(SkinInit, BackgroundsAreTiledAndTheSeparatorSitsAtTheMarker) {
    ASSERT_TRUE(Init(FlatSkin(), renderer->layout));
    ASSERT_NE(nullptr, renderer->atlas.pixels);
    const ImageRect game = renderer->images[kImageGameBkg];
    const ImageRect sep = renderer->images[kImageGameBkgSeperator];
    const ImageRect ktv = renderer->images[kImageKtvBkg];
    ASSERT_EQ(64, game.width);
    const DibSurface& g = renderer->gameStrip;
    for (int y = 0; y < g.height; y += 7)
        for (int x = 0; x < g.width; ++x) {
            const DibSurface& a = renderer->atlas;
            if (x >= 150 && x < 150 + sep.width)
                ASSERT_TRUE(SamePixel(g, x, y, a, sep.x + x - 150, sep.y + y)) << x;
            else
                ASSERT_TRUE(SamePixel(g, x, y, a, game.x + x % 64, game.y + y)) << x;
            ASSERT_TRUE(SamePixel(renderer->lyricsStrip, x, y, a, ktv.x + x % 64, ktv.y + y)) << x;
        }
    EXPECT_EQ(2867, renderer->cursorStrip.width);
    EXPECT_EQ(61u, renderer->cursorIndex.size());
}

TEST_F(SkinInit, NegativeMarkerPaintsNoSeparator) {
    RendererLayout layout = renderer->layout;
    layout.timeMarkerX = -1;
    ASSERT_TRUE(Init(FlatSkin(), layout));
    const ImageRect game = renderer->images[kImageGameBkg];
    for (int x = 0; x < renderer->gameStrip.width; ++x)
        ASSERT_TRUE(SamePixel(renderer->gameStrip, x, 40, renderer->atlas, game.x + x % 64, game.y + 40));
}

TEST_F(SkinInit, MissingBackgroundsLeaveTransparentStripsWithoutLooping) {
    const std::string dir = test_files::TempDir("skin_init");
    test_files::WriteText(dir + "/renderer.imageset",
                          "<Imageset Name=\"Renderer\" Imagefile=\"x.png\"><Image Name=\"GameBkg\" Width=\"0\" "
                          "Height=\"87\"/><Image Name=\"KtvBkg\" Width=\"-3\" Height=\"87\"/></Imageset>");
    ASSERT_TRUE(Init(dir, renderer->layout));
    for (int i = 0; i < renderer->gameStrip.stride * renderer->gameStrip.height; ++i)
        ASSERT_EQ(0, renderer->gameStrip.pixels[i] | renderer->lyricsStrip.pixels[i]);
}

TEST_F(SkinInit, LoadSkinReplacesImagesButNotTheStrips) {
    ASSERT_TRUE(Init(FlatSkin(), renderer->layout));
    std::vector<uint8_t> strip(renderer->gameStrip.pixels,
                               renderer->gameStrip.pixels + renderer->gameStrip.stride * renderer->gameStrip.height);
    const std::string dir = test_files::TempDir("skin_reload");
    test_files::WriteText(dir + "/renderer.imageset",
                          "<Imageset Name=\"Renderer\" Imagefile=\"none.png\"><Image Name=\"GameBkg\" Width=\"5\" "
                          "Height=\"5\"/></Imageset>");
    EXPECT_FALSE(renderer->LoadSkin((dir + "\\renderer.imageset").c_str()));  // its image is missing
    EXPECT_EQ(5, renderer->images[kImageGameBkg].width);
    EXPECT_EQ(0, renderer->images[kImageMiss].width);
    EXPECT_NE(nullptr, renderer->atlas.pixels);  // the image failed to load: the old one stays
    EXPECT_EQ(0, std::memcmp(strip.data(), renderer->gameStrip.pixels, strip.size()));
    EXPECT_FALSE(renderer->LoadSkin("does-not-exist"));
    EXPECT_EQ(5, renderer->images[kImageGameBkg].width);
}

}  // namespace

#include "skin_golden.h"

namespace {

TEST_F(SkinInit, DefaultSkinBuildsTheGoldenSurfaces) {
    ASSERT_TRUE(Init(test_files::SourceDir() + "/skins/default", DefaultLayout()));
    const auto actual = skin_golden::Compute(*renderer);
    for (const auto& expected : skin_golden::Expected())
        EXPECT_EQ(expected.second, actual.at(expected.first)) << expected.first << " = 0x" << std::hex
                                                              << actual.at(expected.first);
}

}  // namespace
