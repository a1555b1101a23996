// stb_image_impl.cpp - the one translation unit that compiles stb_image.
//
// Only the formats a skin may use are compiled in; HDR and PNM are left out, as
// are the file and animated-GIF interfaces (images are decoded from memory) and
// flip-on-load.  Dimensions are capped before any allocation.
//
// Every byte of memory the decoder allocates starts out zero.  A JPEG may name a
// quantisation or Huffman table that it never defines, and the decoder then reads
// that table from memory it never wrote; zeroed, an undefined quantisation table
// scales every coefficient to 0 and an undefined Huffman table decodes every code
// as an empty symbol, so such a file decodes the same every time, without
// arithmetic on stale heap values.
#include <cstdlib>
#include <cstring>

namespace {

void* ZeroedAllocate(size_t size) { return std::calloc(size, 1); }

void* ZeroedReallocate(void* block, size_t oldSize, size_t newSize) {
    auto* grown = static_cast<unsigned char*>(std::realloc(block, newSize));
    if (grown && newSize > oldSize) std::memset(grown + oldSize, 0, newSize - oldSize);
    return grown;
}

}  // namespace

#define STBI_MALLOC(size) ZeroedAllocate(size)
#define STBI_REALLOC_SIZED(block, oldSize, newSize) ZeroedReallocate(block, oldSize, newSize)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_PNM
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image.h>

#include "imaging/stb_image_api.h"

namespace stb {

bool Info(const uint8_t* data, int size, int* width, int* height) {
    int channels = 0;
    return stbi_info_from_memory(data, size, width, height, &channels) != 0;
}

uint8_t* LoadRgba(const uint8_t* data, int size, int* width, int* height) {
    int channels = 0;
    return stbi_load_from_memory(data, size, width, height, &channels, 4);
}

void Free(void* pixels) { stbi_image_free(pixels); }

}  // namespace stb
