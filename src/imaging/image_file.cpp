// image_file.cpp - whole-file read, decode to RGBA, red/blue exchange into an owned buffer.
#include "imaging/image_file.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/stb_image_api.h"
#include "platform/platform.h"

namespace {

// Checks a JPEG before the decoder sees it.  The packaged decoder resynchronises
// on any 0xFF byte, so every marker that appears anywhere in the data is looked
// at, not only those a well-formed file would reach.  Refused:
//  - progressive frames (SOF2, and the progressive types SOF6, SOF10, SOF14);
//  - Huffman tables (DHT) whose code counts add up to more than 256 symbols:
//    the packaged decoder writes past its tables for those.
// Anything else that is malformed is left to the decoder, which fails cleanly.
bool JpegIsAcceptable(const uint8_t* data, size_t size) {
    // The decoder takes the data for a JPEG when it starts with 0xFF, any number of
    // fill bytes 0xFF, then the start-of-image 0xD8.
    size_t soi = 0;
    while (soi < size && data[soi] == 0xFF) ++soi;
    if (soi == 0 || soi >= size || data[soi] != 0xD8) return true;  // not a JPEG
    for (size_t at = 0; at + 1 < size; ++at) {
        if (data[at] != 0xFF) continue;
        size_t m = at + 1;
        while (m < size && data[m] == 0xFF) ++m;  // fill bytes
        if (m >= size) break;
        const uint8_t marker = data[m];
        if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) return false;
        if (marker != 0xC4) continue;
        // The decoder reads: a 16-bit length, then tables of a class/id byte,
        // 16 counts and as many symbols, while the length lasts; bytes past the
        // end read as zero.
        auto byteAt = [&](size_t i) -> size_t { return i < size ? data[i] : 0; };
        int64_t length = int64_t((byteAt(m + 1) << 8) | byteAt(m + 2)) - 2;
        size_t t = m + 3;
        while (length > 0 && t < size) {
            const size_t q = byteAt(t);
            if ((q >> 4) > 1 || (q & 15) > 3) break;  // the decoder gives up here
            size_t symbols = 0;
            for (size_t k = 1; k <= 16; ++k) symbols += byteAt(t + k);
            if (symbols > 256) return false;
            t += 17 + symbols;
            length -= int64_t(17 + symbols);
        }
    }
    return true;
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, DecodedImage* image) {
    if (!data || size == 0 || size > kMaxImageFileBytes || !image) return false;
    if (!JpegIsAcceptable(data, size)) return false;
    int width = 0, height = 0;
    if (!stb::Info(data, int(size), &width, &height)) return false;
    if (width <= 0 || height <= 0 || width > kMaxImageDimension || height > kMaxImageDimension ||
        int64_t(width) * height > kMaxImagePixels)
        return false;
    int decodedWidth = 0, decodedHeight = 0;
    uint8_t* rgba = stb::LoadRgba(data, int(size), &decodedWidth, &decodedHeight);
    if (!rgba) return false;
    if (decodedWidth != width || decodedHeight != height) {
        stb::Free(rgba);
        return false;
    }
    const size_t bytes = size_t(width) * size_t(height) * 4;
    uint8_t* bgra = static_cast<uint8_t*>(std::malloc(bytes));
    if (!bgra) {
        stb::Free(rgba);
        return false;
    }
    for (size_t i = 0; i < bytes; i += 4) {
        bgra[i] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i];
        bgra[i + 3] = rgba[i + 3];
    }
    stb::Free(rgba);
    image->width = width;
    image->height = height;
    image->pixels = std::unique_ptr<uint8_t, void (*)(void*)>(bgra, std::free);
    return true;
}

bool LoadImageFile(const char* path, DecodedImage* image) {
    std::vector<uint8_t> file;
    if (!platform::ReadWholeFile(path, kMaxImageFileBytes, &file) || file.empty()) return false;
    return DecodeImage(file.data(), file.size(), image);
}

std::u16string ToWide(const char* text) {
    if (!text || !*text) return std::u16string();
    return platform::AnsiToUtf16(text);
}

std::string ToNarrow(const char16_t* text) {
    if (!text || !*text) return std::string();
    return platform::Utf16ToAnsi(text);
}

bool LoadSurfaceFromFile(const char16_t* path, DibSurface* surface) {
    if (!surface) return false;
    const std::string narrow = ToNarrow(path);
    DecodedImage image;
    if (!LoadImageFile(narrow.c_str(), &image)) return false;
    ReleaseDibSurface(surface);
    surface->bitmap = nullptr;
    surface->pixels = image.pixels.release();
    surface->stride = image.width * 4;
    surface->x = 0;
    surface->y = 0;
    surface->width = image.width;
    surface->height = image.height;
    surface->tag = -1;
    surface->ownsPixels = true;
    return true;
}
