// stb_image_api.h - the few stb_image calls the renderer makes, behind one file.
#ifndef RENDERER_IMAGING_STB_IMAGE_API_H
#define RENDERER_IMAGING_STB_IMAGE_API_H

#include <cstddef>
#include <cstdint>

namespace stb {
bool Info(const uint8_t* data, int size, int* width, int* height);
uint8_t* LoadRgba(const uint8_t* data, int size, int* width, int* height);  // 8-bit RGBA
void Free(void* pixels);
// The largest block the decoder has asked for since the last reset.
size_t LargestRequest();
void ResetLargestRequest();
}  // namespace stb

#endif
