// image_rect.h - where a named image lies inside the skin image.
#ifndef RENDERER_IMAGING_IMAGE_RECT_H
#define RENDERER_IMAGING_IMAGE_RECT_H

#include <cstdint>

// x, y, width, height in pixels of the skin image; an absent image is all zero.
struct ImageRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

#endif
