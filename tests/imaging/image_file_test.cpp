// Image loading: byte order and alpha per format, and every kind of bad file
// failing cleanly while the surface keeps its previous image.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "test_files.h"
#include "test_random.h"

namespace {

std::vector<uint8_t> Rgba(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::vector<uint8_t> px(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = a;
    }
    return px;
}

class ImageFile : public ::testing::Test {
protected:
    std::string dir = test_files::TempDir("image_file");
    std::u16string Wide(const std::string& name) { return ToWide((dir + "/" + name).c_str()); }
};

TEST_F(ImageFile, PngPixelsBecomeBlueGreenRedAlpha) {
    const auto px = Rgba(3, 2, 255, 0, 0, 255);
    ASSERT_TRUE(stbi_write_png((dir + "/red.png").c_str(), 3, 2, 4, px.data(), 12));
    DibSurface s;
    ASSERT_TRUE(LoadSurfaceFromFile(Wide("red.png").c_str(), &s));
    EXPECT_EQ(3, s.width);
    EXPECT_EQ(2, s.height);
    EXPECT_EQ(12, s.stride);
    EXPECT_TRUE(s.ownsPixels);
    EXPECT_EQ(nullptr, s.bitmap);
    const uint8_t expected[4] = {0, 0, 255, 255};
    EXPECT_EQ(0, std::memcmp(expected, s.pixels, 4));
    ReleaseDibSurface(&s);
}

TEST_F(ImageFile, TransparencyIsKeptStraightAndOpaqueFormatsGetFullAlpha) {
    const auto translucent = Rgba(2, 2, 200, 100, 50, 77);
    ASSERT_TRUE(stbi_write_png((dir + "/t.png").c_str(), 2, 2, 4, translucent.data(), 8));
    const auto rgb = Rgba(2, 2, 10, 20, 30, 255);
    std::vector<uint8_t> three;
    for (size_t i = 0; i < rgb.size(); i += 4) three.insert(three.end(), {rgb[i], rgb[i + 1], rgb[i + 2]});
    ASSERT_TRUE(stbi_write_bmp((dir + "/o.bmp").c_str(), 2, 2, 3, three.data()));
    ASSERT_TRUE(stbi_write_tga((dir + "/o.tga").c_str(), 2, 2, 3, three.data()));
    // (stb's JPEG writer is not used: it shifts negative values, which the sanitizer build rejects.)
    test_files::Write(dir + "/o.jpg", test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/baseline.jpg"));

    DibSurface s;
    ASSERT_TRUE(LoadSurfaceFromFile(Wide("t.png").c_str(), &s));
    const uint8_t straight[4] = {50, 100, 200, 77};  // not premultiplied
    EXPECT_EQ(0, std::memcmp(straight, s.pixels, 4));
    for (const char* name : {"o.bmp", "o.tga", "o.jpg"}) {
        ASSERT_TRUE(LoadSurfaceFromFile(Wide(name).c_str(), &s)) << name;  // replaces and frees the previous
        for (int i = 0; i < 4; ++i) EXPECT_EQ(255, s.pixels[i * 4 + 3]) << name;
    }
    EXPECT_EQ(8, s.width);  // the last one loaded is the 8 x 8 JPEG
    ReleaseDibSurface(&s);
}

TEST_F(ImageFile, BadFilesFailAndKeepThePreviousImage) {
    const auto px = Rgba(4, 4, 1, 2, 3, 255);
    ASSERT_TRUE(stbi_write_png((dir + "/good.png").c_str(), 4, 4, 4, px.data(), 16));
    std::vector<uint8_t> png = test_files::Read(dir + "/good.png");
    test_files::Write(dir + "/empty.png", {});
    test_files::Write(dir + "/truncated.png", std::vector<uint8_t>(png.begin(), png.begin() + long(png.size() / 2)));
    TestRandom rng(5);
    std::vector<uint8_t> noise(4096);
    for (uint8_t& b : noise) b = uint8_t(rng());
    test_files::Write(dir + "/noise.png", noise);
    // A progressive JPEG: SOI, then an SOF2 frame header.
    test_files::Write(dir + "/progressive.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC2,
                                                 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00});
    // A PNG header claiming 100000 x 100000 pixels.
    std::vector<uint8_t> huge = png;
    const uint8_t dims[8] = {0x00, 0x01, 0x86, 0xA0, 0x00, 0x01, 0x86, 0xA0};
    std::memcpy(&huge[16], dims, 8);
    test_files::Write(dir + "/huge.png", huge);

    DibSurface s;
    ASSERT_TRUE(LoadSurfaceFromFile(Wide("good.png").c_str(), &s));
    const uint8_t* before = s.pixels;
    for (const char* name : {"empty.png", "truncated.png", "noise.png", "progressive.jpg", "huge.png", "none.png"}) {
        EXPECT_FALSE(LoadSurfaceFromFile(Wide(name).c_str(), &s)) << name;
        EXPECT_EQ(before, s.pixels) << name;
        EXPECT_EQ(4, s.width);
    }
    EXPECT_FALSE(LoadSurfaceFromFile(nullptr, &s));
    EXPECT_FALSE(LoadSurfaceFromFile(u"", &s));
    ReleaseDibSurface(&s);
}

TEST(ImageDecode, ProgressiveJpegIsRefusedBeforeDecoding) {
    const uint8_t sof2[] = {0xFF, 0xD8, 0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01, 0x11, 0x00};
    DecodedImage image;
    EXPECT_FALSE(DecodeImage(sof2, sizeof sof2, &image));
    EXPECT_FALSE(DecodeImage(sof2, 0, &image));
    EXPECT_FALSE(DecodeImage(nullptr, 10, &image));
}

// A JPEG whose Huffman table counts add up to more than 256 symbols: the packaged
// decoder would write past its tables; it is refused before decoding.
TEST(ImageDecode, OverfullJpegHuffmanTableIsRefused) {
    const std::vector<uint8_t> file =
        test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/jpeg_huffman_overflow.jpg");
    ASSERT_FALSE(file.empty());
    DecodedImage image;
    EXPECT_FALSE(DecodeImage(file.data(), file.size(), &image));
    // The same table reached only by the decoder's resynchronisation past junk.
    const std::vector<uint8_t> resync =
        test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/jpeg_huffman_overflow_resync.jpg");
    ASSERT_FALSE(resync.empty());
    EXPECT_FALSE(DecodeImage(resync.data(), resync.size(), &image));
    // And in a file that starts with a fill byte before the start-of-image marker.
    const std::vector<uint8_t> filled =
        test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/jpeg_huffman_overflow_fill.jpg");
    ASSERT_FALSE(filled.empty());
    EXPECT_FALSE(DecodeImage(filled.data(), filled.size(), &image));
    // A sound baseline JPEG still decodes.
    const std::vector<uint8_t> good = test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/baseline.jpg");
    ASSERT_FALSE(good.empty());
    EXPECT_TRUE(DecodeImage(good.data(), good.size(), &image));
    EXPECT_EQ(8, image.width);
}

TEST(CodePage, WideAndNarrowRoundTrip) {
    EXPECT_EQ(u"", ToWide(""));
    EXPECT_EQ(u"", ToWide(nullptr));
    EXPECT_EQ("", ToNarrow(nullptr));
    EXPECT_EQ(u"skin\\a.png", ToWide("skin\\a.png"));
    EXPECT_EQ("skin\\a.png", ToNarrow(u"skin\\a.png"));
}

}  // namespace
