// The imageset file: what is read and what is ignored, atol numbers, the image
// path joined at the last backslash, later files replacing earlier ones, images
// clipped to the skin image, and hostile files refused without touching the skin.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "imaging/imageset.h"
#include "imaging/skin.h"
#include "test_files.h"

namespace {

class Imageset : public ::testing::Test {
protected:
    void TearDown() override { ReleaseDibSurface(&atlas); }
    // Writes an imageset file and returns its path in the backslash form the renderer uses.
    std::string Skin(const std::string& name, const std::string& xml) {
        test_files::WriteText(dir + "/" + name, xml);
        return dir + "\\" + name;
    }
    void Png(const std::string& name, int w, int h, uint8_t blue) {
        std::vector<uint8_t> px(size_t(w) * size_t(h) * 4, 255);
        for (size_t i = 0; i < px.size(); i += 4) px[i + 2] = blue;
        stbi_write_png((dir + "/" + name).c_str(), w, h, 4, px.data(), w * 4);
    }
    std::string dir = test_files::TempDir("imageset");
    ImagesetRegistry registry;
    DibSurface atlas;
    ImageRect images[kSkinImageCount];
};

TEST_F(Imageset, ReadsTheFirstImagesetWithAtolNumbersAndFirstNamesWinning) {
    const std::string path = Skin("a.imageset", R"(<?xml version="1.0"?>
<Imageset Name="Renderer" Imagefile="skin.png" Other="x">
  <Image Name="Slider" XPos="12px" YPos="abc" Width=" -5" Height="+7"/>
  <Image Name="Slider" XPos="1" YPos="1" Width="1" Height="1"/>
  <Image XPos="3" YPos="4" Width="5" Height="6"/>
  <Image Name="KtvBkg" XPos="3"/>
  <Other Name="GameBkg" XPos="9"/>
  text and <!-- comments --> are ignored
</Imageset>
<Imageset Name="Second" Imagefile="b.png"/>)");
    ASSERT_TRUE(ParseImageset(&registry, path.c_str()));
    const ImageRect slider = FindImageRect(registry, "Renderer", "Slider");
    EXPECT_EQ(12, slider.x);
    EXPECT_EQ(0, slider.y);
    EXPECT_EQ(-5, slider.width);
    EXPECT_EQ(7, slider.height);
    const ImageRect unnamed = FindImageRect(registry, "Renderer", "");
    EXPECT_EQ(5, unnamed.width);
    const ImageRect ktv = FindImageRect(registry, "Renderer", "KtvBkg");
    EXPECT_EQ(3, ktv.x);
    EXPECT_EQ(0, ktv.width);
    EXPECT_EQ(0, FindImageRect(registry, "Renderer", "GameBkg").x);
    EXPECT_EQ(1u, registry.imagesets.size());  // the second Imageset is not read
    EXPECT_EQ("skin.png", FindImageFile(registry, "Renderer"));
    EXPECT_EQ("", FindImageFile(registry, "Second"));
    EXPECT_EQ(0, FindImageRect(registry, "Nope", "Slider").width);
}

TEST_F(Imageset, AtolSemantics) {
    EXPECT_EQ(12, ReadAtol("12px"));
    EXPECT_EQ(0, ReadAtol("abc"));
    EXPECT_EQ(-5, ReadAtol(" -5"));
    EXPECT_EQ(42, ReadAtol("\t\n 42"));
    EXPECT_EQ(0, ReadAtol("- 5"));
    EXPECT_EQ(0, ReadAtol(""));
    EXPECT_EQ(INT32_MAX, ReadAtol("99999999999999999999"));
    EXPECT_EQ(INT32_MIN, ReadAtol("-99999999999999999999"));
}

TEST_F(Imageset, KeysAreOrderedByLengthFirst) {
    LengthFirstLess less;
    EXPECT_TRUE(less("Zz", "aaa"));
    EXPECT_TRUE(less("ab", "ac"));
    EXPECT_TRUE(less("a\x7f", "a\x80"));  // bytes compare unsigned
    EXPECT_FALSE(less("abc", "abc"));
}

TEST_F(Imageset, RefusedFilesLeaveTheRegistryAlone) {
    ASSERT_TRUE(ParseImageset(&registry, Skin("ok.imageset",
        R"(<Imageset Name="Renderer" Imagefile="s.png"><Image Name="Miss" Width="4"/></Imageset>)").c_str()));
    std::string deep;
    for (int i = 0; i < 7000; ++i) deep += "<a>";
    const std::vector<std::string> bad = {
        "", "not xml at all", "<Imageset Name=\"Renderer\"><Image", "<Other Name=\"Renderer\"/>",
        "<Imageset Imagefile=\"x.png\"/>", "<Imageset Name=\"\"/>", deep,
        "<Imageset Name=\"Renderer\">" + deep + "</Imageset>", std::string(kMaxImagesetFileBytes + 10, ' ')};
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(ParseImageset(&registry, Skin("bad" + std::to_string(i) + ".imageset", bad[i]).c_str())) << i;
        EXPECT_EQ(4, FindImageRect(registry, "Renderer", "Miss").width) << i;
        EXPECT_EQ("s.png", FindImageFile(registry, "Renderer"));
    }
    EXPECT_FALSE(ParseImageset(&registry, (dir + "\\missing.imageset").c_str()));
    EXPECT_EQ(1u, registry.imagesets.size());
}

TEST_F(Imageset, NestingIsMeasuredWithoutParsing) {
    EXPECT_EQ(2, XmlNestingDepth("<?xml?><!-- <a><b><c> --><a x='>'><b/><c></c></a>"));
    EXPECT_EQ(-1, XmlNestingDepth("<a><b"));
    EXPECT_EQ(0, XmlNestingDepth("plain"));
}

TEST_F(Imageset, ImagePathIsJoinedAtTheLastBackslash) {
    test_files::MakeSubdirectory(dir, "img");
    Png("skin.png", 8, 8, 10);
    Png("img/skin.png", 16, 4, 20);
    ApplySkinFile(&registry, &atlas, images,
                  Skin("a.imageset", R"(<Imageset Name="Renderer" Imagefile="skin.png"/>)").c_str());
    EXPECT_EQ(8, atlas.width);
    ApplySkinFile(&registry, &atlas, images,
                  Skin("b.imageset", R"(<Imageset Name="Renderer" Imagefile="img\skin.png"/>)").c_str());
    EXPECT_EQ(16, atlas.width);
    // Forward slashes only: no directory, no image; the old one stays.
    test_files::WriteText(dir + "/c.imageset", R"(<Imageset Name="Renderer" Imagefile="skin.png"/>)");
    EXPECT_FALSE(ApplySkinFile(&registry, &atlas, images, (dir + "/c.imageset").c_str()));
    EXPECT_EQ(16, atlas.width);
}

TEST_F(Imageset, ASecondRendererFileReplacesTheFirstWhole) {
    Png("skin.png", 64, 64, 1);
    ApplySkinFile(&registry, &atlas, images, Skin("a.imageset", R"(<Imageset Name="Renderer" Imagefile="skin.png">
        <Image Name="Miss" XPos="1" YPos="2" Width="3" Height="4"/>
        <Image Name="CursorRed" XPos="5" YPos="6" Width="7" Height="8"/></Imageset>)").c_str());
    EXPECT_EQ(3, images[kImageMiss].width);
    EXPECT_EQ(7, images[kImageCursorRed].width);
    ApplySkinFile(&registry, &atlas, images, Skin("b.imageset", R"(<Imageset Name="Renderer" Imagefile="gone.png">
        <Image Name="CursorRed" XPos="9" YPos="9" Width="9" Height="9"/></Imageset>)").c_str());
    EXPECT_EQ(0, images[kImageMiss].width);
    EXPECT_EQ(0, images[kImageMiss].x);
    EXPECT_EQ(9, images[kImageCursorRed].x);
    EXPECT_EQ(64, atlas.width);  // the image failed to load: the first skin's stays
    // Another imageset's name registers but changes nothing drawn.
    ApplySkinFile(&registry, &atlas, images,
                  Skin("c.imageset", R"(<Imageset Name="Other"><Image Name="CursorRed" XPos="1"/></Imageset>)").c_str());
    EXPECT_EQ(9, images[kImageCursorRed].x);
    EXPECT_EQ(2u, registry.imagesets.size());
}

TEST_F(Imageset, TheWaveYellowPiecesAreLookedUpTwice) {
    Png("skin.png", 64, 64, 1);
    ApplySkinFile(&registry, &atlas, images, Skin("a.imageset", R"(<Imageset Name="Renderer" Imagefile="skin.png">
        <Image Name="WaveYellowL" XPos="1" Width="2" Height="3"/>
        <Image Name="WaveYellowM" XPos="4" Width="5" Height="6"/>
        <Image Name="WaveYellowR" XPos="7" Width="8" Height="9"/></Imageset>)").c_str());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(images[kImageWaveYellowL + i].x, images[kImageTrailYellowL + i].x);
        EXPECT_EQ(images[kImageWaveYellowL + i].width, images[kImageTrailYellowL + i].width);
    }
    EXPECT_EQ(4, images[kImageTrailYellowM].x);
}

// Rectangles come from a file anyone can edit: they are cut to the skin image.
TEST_F(Imageset, ImagesAreClippedToTheSkinImage) {
    Png("skin.png", 32, 16, 1);
    ApplySkinFile(&registry, &atlas, images, Skin("a.imageset", R"(<Imageset Name="Renderer" Imagefile="skin.png">
        <Image Name="GameBkg" XPos="20" YPos="10" Width="40" Height="40"/>
        <Image Name="KtvBkg" XPos="-10" YPos="-4" Width="15" Height="8"/>
        <Image Name="Slider" XPos="100" YPos="0" Width="5" Height="5"/>
        <Image Name="Miss" XPos="2147483647" YPos="2147483647" Width="2147483647" Height="9"/>
        <Image Name="Good" XPos="0" YPos="0" Width="-5" Height="9"/></Imageset>)").c_str());
    const ImageRect g = images[kImageGameBkg];
    EXPECT_EQ(20, g.x);
    EXPECT_EQ(12, g.width);
    EXPECT_EQ(6, g.height);
    const ImageRect k = images[kImageKtvBkg];
    EXPECT_EQ(0, k.x);
    EXPECT_EQ(0, k.y);
    EXPECT_EQ(5, k.width);
    EXPECT_EQ(4, k.height);
    for (int i : {kImageSlider, kImageMiss, kImageGood}) {
        EXPECT_EQ(0, images[i].width) << i;
        EXPECT_EQ(0, images[i].x) << i;
    }
}

// A text that ends inside a UTF-8 character: the parser steps over the whole
// character, so the text is padded with zeros behind its end.  The parser is a
// system library the sanitizers do not see into; CTest also runs this test under
// valgrind, which reports any read past the text.
TEST(ImagesetText, TextEndingInsideACharacterIsReadWithinItself) {
    ImagesetRegistry registry;
    const char* const tails[] = {"\xE4", "\xD0", "\xF0\x9F", "\xE4\x80"};
    for (const char* tail : tails) {
        const std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Imageset Name=\"Renderer\">"
                                             "<Image Name=\"Slider\" Width=\"3\"/>the rest ") + tail;
        // Unfinished documents are refused, and nothing is read beyond them.
        EXPECT_FALSE(ParseImagesetText(&registry, text));
        EXPECT_FALSE(ParseImagesetText(&registry, text.substr(0, text.size() - 1)));
    }
    EXPECT_TRUE(registry.imagesets.empty());
}

}  // namespace
