// image_file.h - reading the skin's image file into a surface.
#ifndef RENDERER_IMAGING_IMAGE_FILE_H
#define RENDERER_IMAGING_IMAGE_FILE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/dib_surface.h"

// Limits that keep a hostile or broken file from costing more than a skin needs.
constexpr size_t kMaxImageFileBytes = size_t(64) << 20;
constexpr int32_t kMaxImageDimension = 16384;
constexpr int64_t kMaxImagePixels = int64_t(4096) * 4096;

// One decoded image: rows top to bottom, blue, green, red, alpha, straight alpha.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, nullptr};
};

// ANSI (system code page) <-> UTF-16.  On Linux the "ANSI" side is UTF-8.
std::u16string ToWide(const char* text);
std::string ToNarrow(const char16_t* text);

// Decodes an image held in memory (baseline JPEG, PNG, BMP, PSD, PIC, GIF, TGA).
// False for anything else, for progressive JPEG, and for images beyond the limits.
bool DecodeImage(const uint8_t* data, size_t size, DecodedImage* image);

// Reads and decodes a whole file; false when it is missing, empty, too large or undecodable.
bool LoadImageFile(const char* path, DecodedImage* image);

// Loads a file into `surface` (pixels owned, no bitmap).  On failure the surface
// is left exactly as it was.
bool LoadSurfaceFromFile(const char16_t* path, DibSurface* surface);

#endif
