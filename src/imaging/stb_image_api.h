// stb_image_api.h - the few stb_image calls the renderer makes, behind one file.
#ifndef RENDERER_IMAGING_STB_IMAGE_API_H
#define RENDERER_IMAGING_STB_IMAGE_API_H

#include <cstdint>

namespace stb {
bool Info(const uint8_t* data, int size, int* width, int* height);
uint8_t* LoadRgba(const uint8_t* data, int size, int* width, int* height);  // 8-bit RGBA
void Free(void* pixels);
}  // namespace stb

#endif
