// dib_surface.cpp - creating and releasing pixel surfaces.
#include "imaging/dib_surface.h"

#include <cstdlib>

#include "platform/platform.h"

int64_t SurfaceByteSize(int64_t width, int64_t height) {
    if (width < 0 || height < 0) return -1;
    if (width > kMaxSurfaceBytes / 4) return -1;
    const int64_t rowBytes = width * 4;
    if (rowBytes != 0 && height > kMaxSurfaceBytes / rowBytes) return -1;
    return rowBytes * height;
}

bool CreateDibSurface(int32_t width, int32_t height, DibSurface* surface) {
    if (!surface) return false;
    const int64_t bytes = SurfaceByteSize(width, height);
    if (bytes < 0) {
        // Refused before any arithmetic that could wrap: an empty size, no bitmap.
        surface->stride = 0;
        surface->width = 0;
        surface->height = 0;
        surface->bitmap = nullptr;
        surface->pixels = nullptr;
        return false;
    }
    surface->stride = width * 4;
    surface->width = width;
    surface->height = height;
    void* bitmap = nullptr;
    uint8_t* pixels = nullptr;
    if (width == 0 || height == 0 || !platform::CreateBitmapPixels(width, height, &bitmap, &pixels)) {
        surface->bitmap = nullptr;
        surface->pixels = nullptr;
        return false;
    }
    surface->bitmap = bitmap;
    surface->pixels = pixels;
    return true;
}

void ReleaseDibSurface(DibSurface* surface) {
    if (!surface) return;
    if (surface->bitmap) platform::DeleteBitmap(surface->bitmap);
    if (surface->ownsPixels) std::free(surface->pixels);
    *surface = DibSurface();
}
