// stb_image_impl.cpp - the one translation unit that compiles stb_image.
//
// Only the formats a skin may use are compiled in; HDR and PNM are left out, as
// are the file and animated-GIF interfaces (images are decoded from memory) and
// flip-on-load.  Dimensions are capped before any allocation.
//
// Every block the decoder allocates starts out zero.  A JPEG may name a
// quantisation or Huffman table that it never defines, and the decoder then reads
// that table from memory it never wrote; zeroed, an undefined quantisation table
// scales every coefficient to 0 and an undefined Huffman table decodes every code
// as an empty symbol, so such a file decodes the same every time, without
// arithmetic on stale heap values.  Grown blocks (PNG data, inflated rows) are
// written before they are read and are not cleared: clearing would touch every
// page of a size that a chunk header claims.
//
// The largest request is recorded, so that tests can see what a file costs.
#include <cstdlib>
#include <cstring>

#include "imaging/stb_image_api.h"

namespace {

size_t largestRequest = 0;

void* ZeroedAllocate(size_t size) {
    if (size > largestRequest) largestRequest = size;
    return std::calloc(size, 1);
}

void* Reallocate(void* block, size_t newSize) {
    if (newSize > largestRequest) largestRequest = newSize;
    return std::realloc(block, newSize);
}

}  // namespace

namespace stb {
size_t LargestRequest() { return largestRequest; }
void ResetLargestRequest() { largestRequest = 0; }
}  // namespace stb

#define STBI_MALLOC(size) ZeroedAllocate(size)
#define STBI_REALLOC(block, newSize) Reallocate(block, newSize)
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
