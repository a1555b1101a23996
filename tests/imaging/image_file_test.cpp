// Image loading: byte order and alpha per format, and every kind of bad file
// failing cleanly while the surface keeps its previous image.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "imaging/stb_image_api.h"
#include "test_files.h"
#include "test_random.h"

#if defined(__SANITIZE_ADDRESS__)
#define RENDERER_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RENDERER_TEST_ASAN 1
#endif
#endif

#ifdef RENDERER_TEST_ASAN
// Under AddressSanitizer every fresh heap block starts out as 0xFF bytes, not
// zeros, so that code reading memory it never wrote sees values it cannot expect.
extern "C" const char* __asan_default_options() { return "max_malloc_fill_size=67108864:malloc_fill_byte=255"; }
#endif

namespace {

std::vector<uint8_t> SeedFile(const char* name) {
    return test_files::Read(test_files::SourceDir() + "/fuzz/seeds/image/" + name);
}

// Leaves freed heap blocks of many sizes full of 0xFF behind fences that stay
// allocated, so that the allocator hands the next blocks of those sizes back
// dirty (glibc does); AddressSanitizer builds fill fresh blocks themselves.
class DirtyHeap {
public:
    DirtyHeap() {
        for (size_t size = 64; size <= 96 * 1024; size += size / 16 + 16) {
            void* block = std::malloc(size);
            std::memset(block, 0xFF, size);
            freed_.push_back(block);
            fences_.push_back(std::malloc(32));
        }
        for (void* block : freed_) std::free(block);
    }
    ~DirtyHeap() {
        for (void* fence : fences_) std::free(fence);
    }

private:
    std::vector<void*> freed_, fences_;
};

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

// A JPEG whose chroma components name a quantisation table that the file never
// defines: the decoder reads that table from memory it allocated but never wrote.
// Zeroed, the table scales every chroma coefficient to 0, so every pixel comes
// out grey (red = green = blue) whatever the heap held before.
TEST(ImageDecode, UndefinedQuantisationTableReadsAsZeroOnADirtyHeap) {
    std::vector<uint8_t> file = SeedFile("baseline.jpg");
    ASSERT_EQ(301u, file.size());
    // The frame header (FF C0) at 158: length, precision, height, width, 3
    // components of id, sampling and table; the chroma tables become table 2.
    ASSERT_EQ(0xC0, file[159]);
    ASSERT_EQ(3, file[167]);
    ASSERT_EQ(1, file[173]);
    ASSERT_EQ(1, file[176]);
    file[173] = 2;
    file[176] = 2;
    std::vector<uint8_t> first;
    for (int round = 0; round < 3; ++round) {
        DirtyHeap dirty;
        DecodedImage image;
        ASSERT_TRUE(DecodeImage(file.data(), file.size(), &image));
        ASSERT_EQ(8, image.width);
        const uint8_t* px = image.pixels.get();
        const size_t bytes = size_t(image.width) * size_t(image.height) * 4;
        size_t coloured = 0;
        for (size_t i = 0; i < bytes; i += 4)
            if (px[i] != px[i + 1] || px[i + 1] != px[i + 2] || px[i + 3] != 255) ++coloured;
        EXPECT_EQ(0u, coloured) << "round " << round;
        if (round == 0) first.assign(px, px + bytes);
        EXPECT_TRUE(std::equal(first.begin(), first.end(), px)) << "round " << round;
    }
    // The fuzzer's input that found it: chroma on an undefined table, and data
    // that the decoder ends up refusing.  (Under the sanitizers, stale table values
    // overflowed the coefficient arithmetic before the decoder gave up.)
    const std::vector<uint8_t> found = SeedFile("jpeg_undefined_quant_table.jpg");
    ASSERT_EQ(675u, found.size());
    DirtyHeap dirty;
    DecodedImage image;
    EXPECT_FALSE(DecodeImage(found.data(), found.size(), &image));
}

// The JPEG check walks the markers as the decoder does: what the decoder skips by
// its length (application data, comments) may hold any bytes, marker look-alikes
// included; what the decoder reads is still checked.
class JpegCheck : public ::testing::Test {
protected:
    // A Huffman table whose code counts add up to 16 x 255 symbols, and a
    // progressive frame header: both refused where the decoder would read them.
    const std::vector<uint8_t> overfullTable = {0xFF, 0xC4, 0x00, 0x14, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<uint8_t> progressiveFrame = {0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x00, 0x10,
                                                   0x00, 0x10, 0x01, 0x01, 0x11, 0x00};
    const std::vector<uint8_t> baseline = SeedFile("baseline.jpg");

    static std::vector<uint8_t> Segment(uint8_t marker, const std::vector<uint8_t>& payload) {
        std::vector<uint8_t> s = {0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)};
        s.insert(s.end(), payload.begin(), payload.end());
        return s;
    }
    static std::vector<uint8_t> Insert(std::vector<uint8_t> file, size_t at, const std::vector<uint8_t>& bytes) {
        file.insert(file.begin() + long(at), bytes.begin(), bytes.end());
        return file;
    }
    static std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    static bool Decodes(const std::vector<uint8_t>& file, std::vector<uint8_t>* pixels = nullptr) {
        DecodedImage image;
        if (!DecodeImage(file.data(), file.size(), &image)) return false;
        if (pixels) pixels->assign(image.pixels.get(), image.pixels.get() + size_t(image.width) * image.height * 4);
        return true;
    }
    // Where baseline.jpg's marker segments start: after the start-of-image marker,
    // before each table and frame header, before the scan.
    std::vector<size_t> HeaderBoundaries() const {
        std::vector<size_t> at;
        size_t i = 2;
        while (i + 3 < baseline.size() && baseline[i] == 0xFF) {
            at.push_back(i);
            if (baseline[i + 1] == 0xDA) break;
            i += 2 + ((size_t(baseline[i + 2]) << 8) | baseline[i + 3]);
        }
        return at;
    }
    size_t EndOfImage() const { return baseline.size() - 2; }  // the final FF D9
};

TEST_F(JpegCheck, RealJpegWithIccProfileAndMarkerBytesInItsCommentLoads) {
    // cjpeg -icc sRGB.icc, then wrjpgcom with a comment holding FF C4 (16 x 255
    // codes), fill bytes and FF C2.
    const std::vector<uint8_t> file = SeedFile("baseline_icc_comment.jpg");
    ASSERT_FALSE(file.empty());
    const uint8_t icc[] = {0xFF, 0xE2};
    ASSERT_NE(file.end(), std::search(file.begin(), file.end(), icc, icc + 2));
    ASSERT_NE(file.end(), std::search(file.begin(), file.end(), overfullTable.begin(), overfullTable.end()));
    const uint8_t sof2[] = {0xFF, 0xC2};
    ASSERT_NE(file.end(), std::search(file.begin(), file.end(), sof2, sof2 + 2));
    DecodedImage image;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), &image));
    EXPECT_EQ(48, image.width);
    EXPECT_EQ(32, image.height);
    // The picture is the gradient red = 5x, green = 7y, blue = 3(x + y), give or take the compression.
    int worst = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            const uint8_t* px = image.pixels.get() + (size_t(y) * 48 + size_t(x)) * 4;
            worst = std::max({worst, std::abs(px[2] - ((x * 5) & 255)), std::abs(px[1] - ((y * 7) & 255)),
                              std::abs(px[0] - (((x + y) * 3) & 255))});
            EXPECT_EQ(255, px[3]);
        }
    EXPECT_LE(worst, 24);
}

TEST_F(JpegCheck, PayloadsTheDecoderSkipsMayHoldAnyBytes) {
    ASSERT_FALSE(baseline.empty());
    std::vector<uint8_t> reference;
    ASSERT_TRUE(Decodes(baseline, &reference));
    const std::vector<size_t> boundaries = HeaderBoundaries();
    ASSERT_EQ(9u, boundaries.size());
    TestRandom rng(1107);
    const std::vector<std::vector<uint8_t>> lookalikes = {overfullTable, progressiveFrame, {0xFF, 0xFF, 0xC2},
                                                          {0xFF, 0xDA}, {0xFF, 0xD9}, {0xFF, 0xD8}};
    for (int trial = 0; trial < 2000; ++trial) {
        // An application segment (APP1 to APP13, APP15: APP0 and APP14 carry
        // tags the decoder reads) or a comment, of random bytes with marker
        // look-alikes scattered in, at a random place the decoder reads a marker.
        const uint8_t app = uint8_t(0xE1 + rng() % 14);
        const uint8_t marker = trial % 3 == 0 ? 0xFE : app == 0xEE ? 0xEF : app;
        std::vector<uint8_t> payload(rng() % 300);
        for (uint8_t& b : payload) b = uint8_t(rng() % 4 == 0 ? 0xFF : rng());
        for (int k = int(rng() % 4); k > 0; --k) {
            const auto& l = lookalikes[rng() % lookalikes.size()];
            payload.insert(payload.begin() + long(rng() % (payload.size() + 1)), l.begin(), l.end());
        }
        if (payload.size() > 65533) payload.resize(65533);
        const size_t at = trial % 5 == 4 ? EndOfImage() : boundaries[rng() % boundaries.size()];
        const std::vector<uint8_t> file = Insert(baseline, at, Segment(marker, payload));
        std::vector<uint8_t> pixels;
        ASSERT_TRUE(Decodes(file, &pixels)) << "trial " << trial << " at " << at;
        ASSERT_EQ(reference, pixels) << "trial " << trial;
    }
}

TEST_F(JpegCheck, WhatTheDecoderReadsIsStillChecked) {
    ASSERT_FALSE(baseline.empty());
    const std::vector<size_t> boundaries = HeaderBoundaries();
    // One of the file's own Huffman tables again: a sound table in the same place
    // decodes, so a refusal is the check's, not the decoder's failure.
    const size_t firstTable = boundaries[4];
    ASSERT_EQ(0xC4, baseline[firstTable + 1]);
    const std::vector<uint8_t> soundTable(baseline.begin() + long(firstTable), baseline.begin() + long(boundaries[5]));
    auto expectChecked = [&](size_t at, const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
        EXPECT_TRUE(Decodes(Insert(baseline, at, Concat(Concat(before, soundTable), after)))) << at;
        EXPECT_FALSE(Decodes(Insert(baseline, at, Concat(Concat(before, overfullTable), after)))) << at;
    };
    const std::vector<uint8_t> comment = Segment(0xFE, {'h', 'i'});
    const size_t frame = boundaries[3];
    ASSERT_EQ(0xC0, baseline[frame + 1]);
    for (size_t at : boundaries) {
        expectChecked(at, {}, {});
        expectChecked(at, comment, {});  // right after a comment
        // A comment whose length stops short of the table it holds: the decoder
        // goes on reading inside it and reaches the table.
        std::vector<uint8_t> shortComment = Segment(0xFE, {'a', 'b'});
        expectChecked(at, shortComment, {});
        shortComment[3] = uint8_t(shortComment[3] + overfullTable.size());
        EXPECT_TRUE(Decodes(Insert(baseline, at, Concat(shortComment, overfullTable)))) << at;  // held whole: skipped
        // Between the start-of-image marker and the frame header the decoder skips
        // junk after a segment up to the next 0xFF (elsewhere junk ends the decoding).
        if (at > boundaries.front() && at <= frame) expectChecked(at, Concat(comment, {0x12, 0x00, 0x34}), {});
    }
    // Between the scan and the end of the image the decoder reads tables too;
    // after the end of the image it reads nothing.
    expectChecked(EndOfImage(), {}, {});
    expectChecked(EndOfImage(), comment, {});
    EXPECT_TRUE(Decodes(Insert(baseline, EndOfImage(), Segment(0xE5, overfullTable))));
    EXPECT_TRUE(Decodes(Concat(baseline, overfullTable)));
    // A progressive frame is refused where it is the frame; inside a comment it is not a frame.
    std::vector<uint8_t> progressive = baseline;
    progressive[frame + 1] = 0xC2;
    EXPECT_FALSE(Decodes(progressive));
    EXPECT_TRUE(Decodes(Insert(baseline, frame, Segment(0xFE, progressiveFrame))));
    // The committed inputs that overflow the packaged decoder stay refused.
    for (const char* name :
         {"jpeg_huffman_overflow.jpg", "jpeg_huffman_overflow_resync.jpg", "jpeg_huffman_overflow_fill.jpg"}) {
        const std::vector<uint8_t> file = SeedFile(name);
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_FALSE(Decodes(file)) << name;
    }
}

// An empty image-data chunk before any image data makes the packaged decoder copy
// zero bytes to a null pointer: such a PNG is refused.  Empty chunks after the
// first data decode as if they were not there.
TEST(ImageDecode, PngWithAnEmptyFirstImageDataChunkIsRefused) {
    std::vector<uint8_t> png;
    const auto px = Rgba(5, 3, 10, 20, 30, 40);
    stbi_write_png_to_func([](void* out, void* bytes, int n) {
        auto* v = static_cast<std::vector<uint8_t>*>(out);
        v->insert(v->end(), static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + n);
    }, &png, 5, 3, 4, px.data(), 20);
    ASSERT_GT(png.size(), 33u);
    const uint8_t idat[4] = {'I', 'D', 'A', 'T'};
    const auto first = std::search(png.begin(), png.end(), idat, idat + 4) - 4;  // its length field
    ASSERT_EQ(33, first - png.begin());
    const size_t firstLength = (size_t(first[0]) << 24) | (size_t(first[1]) << 16) | (size_t(first[2]) << 8) | first[3];
    // length 0, "IDAT", the CRC of "IDAT"
    const std::vector<uint8_t> empty = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};

    DecodedImage image;
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), &image));
    const std::vector<uint8_t> reference(image.pixels.get(), image.pixels.get() + 5 * 3 * 4);
    std::vector<uint8_t> before = png;
    before.insert(before.begin() + 33, empty.begin(), empty.end());
    EXPECT_FALSE(DecodeImage(before.data(), before.size(), &image));
    std::vector<uint8_t> after = png;
    after.insert(after.begin() + long(33 + 12 + firstLength), empty.begin(), empty.end());
    ASSERT_TRUE(DecodeImage(after.data(), after.size(), &image));
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), image.pixels.get()));
    // The fuzzer's input that found it.
    const std::vector<uint8_t> found = SeedFile("png_empty_first_idat.png");
    ASSERT_FALSE(found.empty());
    EXPECT_FALSE(DecodeImage(found.data(), found.size(), &image));
}

// An image-data chunk that claims more bytes than the file holds: the packaged
// decoder fails on it, but only after growing its buffer to the claimed length.
// Refused before the decoder asks for anything of that size.
TEST(ImageDecode, PngChunkLongerThanTheFileIsRefusedBeforeAnyAllocation) {
    std::vector<uint8_t> png;
    const auto px = Rgba(6, 4, 1, 2, 3, 4);
    stbi_write_png_to_func([](void* out, void* bytes, int n) {
        auto* v = static_cast<std::vector<uint8_t>*>(out);
        v->insert(v->end(), static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + n);
    }, &png, 6, 4, 4, px.data(), 24);
    ASSERT_EQ('I', png[37]);  // the first IDAT's type follows its length at 33
    DecodedImage image;
    stb::ResetLargestRequest();
    ASSERT_TRUE(DecodeImage(png.data(), png.size(), &image));
    const size_t sound = stb::LargestRequest();
    EXPECT_LT(sound, size_t(1) << 16);
    for (uint32_t claimed : {uint32_t(png.size()), 0x00100000u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        std::vector<uint8_t> hostile = png;
        for (int k = 0; k < 4; ++k) hostile[size_t(33 + k)] = uint8_t(claimed >> (24 - 8 * k));
        stb::ResetLargestRequest();
        EXPECT_FALSE(DecodeImage(hostile.data(), hostile.size(), &image)) << claimed;
        EXPECT_LE(stb::LargestRequest(), sound) << claimed;
    }
    // The fuzzer's input that found it (a chunk claiming 1.9 GB).
    const std::vector<uint8_t> found = SeedFile("png_idat_longer_than_file.png");
    ASSERT_FALSE(found.empty());
    stb::ResetLargestRequest();
    EXPECT_FALSE(DecodeImage(found.data(), found.size(), &image));
    EXPECT_LE(stb::LargestRequest(), sound);
}

TEST(CodePage, WideAndNarrowRoundTrip) {
    EXPECT_EQ(u"", ToWide(""));
    EXPECT_EQ(u"", ToWide(nullptr));
    EXPECT_EQ("", ToNarrow(nullptr));
    EXPECT_EQ(u"skin\\a.png", ToWide("skin\\a.png"));
    EXPECT_EQ("skin\\a.png", ToNarrow(u"skin\\a.png"));
}

}  // namespace
