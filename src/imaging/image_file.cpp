// image_file.cpp - whole-file read, decode to RGBA, red/blue exchange into an owned buffer.
#include "imaging/image_file.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/stb_image_api.h"
#include "platform/platform.h"

namespace {

// Checks a JPEG's marker segments before the decoder sees them.  Refused:
//  - progressive frames (SOF2, and the progressive types SOF6, SOF10, SOF14);
//  - Huffman tables whose code counts add up to more than 256 symbols or run past
//    their segment: the packaged decoder writes past its tables for those.
// Anything else that is malformed is left to the decoder, which fails cleanly.
bool JpegIsAcceptable(const uint8_t* data, size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return true;  // not a JPEG
    size_t at = 2;
    while (at + 2 <= size) {
        if (data[at] != 0xFF) return true;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9) return true;  // end of image
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (at + 4 > size) return true;
        const size_t length = (size_t(data[at + 2]) << 8) | data[at + 3];
        if (length < 2 || at + 2 + length > size) return true;
        const uint8_t* segment = data + at + 4;
        const size_t segmentSize = length - 2;
        if (marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE) return false;
        if (marker == 0xC4) {
            size_t t = 0;
            while (t < segmentSize) {
                if (t + 17 > segmentSize) return false;
                size_t symbols = 0;
                for (int i = 1; i <= 16; ++i) symbols += segment[t + size_t(i)];
                if (symbols > 256 || t + 17 + symbols > segmentSize) return false;
                t += 17 + symbols;
            }
        }
        at += 2 + length;
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker that is not a stuffed zero or a restart.
            while (at + 1 < size && !(data[at] == 0xFF && data[at + 1] != 0x00 &&
                                      !(data[at + 1] >= 0xD0 && data[at + 1] <= 0xD7) && data[at + 1] != 0xFF))
                ++at;
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
