// dib_surface.h - the 32-bit pixel surface that every picture of the renderer lives in.
//
// Pixels are 4 bytes, memory order blue, green, red, alpha (0xAARRGGBB little-endian),
// rows top to bottom, stride = width * 4.  Colour is straight while pictures are
// composed; only the finished frame is premultiplied.  New surfaces are all zero.
#ifndef RENDERER_IMAGING_DIB_SURFACE_H
#define RENDERER_IMAGING_DIB_SURFACE_H

#include <cstdint>

struct DibSurface {
    void* bitmap = nullptr;      // platform bitmap holding the pixels (a DIB section on Win32)
    uint8_t* pixels = nullptr;   // first byte of row 0; null when empty
    int32_t stride = 0;          // bytes per row
    int32_t x = 0;               // owner-defined position (game strips: stripX)
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t tag = -1;            // owner-defined number (line strips: lineIndex)
    bool ownsPixels = false;     // pixels is a heap buffer freed with the surface
};

// Largest pixel buffer a surface may have.  Anything larger is refused before
// any size arithmetic can wrap, and would not fit a 32-bit process anyway.
constexpr int64_t kMaxSurfaceBytes = int64_t(1) << 30;

// Byte size of a width x height surface, or -1 when it is negative or too large.
int64_t SurfaceByteSize(int64_t width, int64_t height);

// Allocates a zeroed width x height bitmap into `surface`.  Sets stride, width and
// height first (left 0 when the size is refused outright); x, y, tag, ownsPixels
// and any bitmap already held are not touched.  True when a bitmap was created.
bool CreateDibSurface(int32_t width, int32_t height, DibSurface* surface);

// Frees the bitmap and, when owned, the pixel buffer; leaves the surface empty.
void ReleaseDibSurface(DibSurface* surface);

// A surface that releases what it holds when it goes out of scope; it can be moved
// but not copied, so exactly one owner releases it.
struct OwnedSurface : DibSurface {
    OwnedSurface() = default;
    OwnedSurface(int32_t width, int32_t height) { CreateDibSurface(width, height, this); }
    OwnedSurface(OwnedSurface&& other) noexcept : DibSurface(other) { other.Forget(); }
    OwnedSurface& operator=(OwnedSurface&& other) noexcept {
        if (this != &other) {
            ReleaseDibSurface(this);
            static_cast<DibSurface&>(*this) = other;
            other.Forget();
        }
        return *this;
    }
    OwnedSurface(const OwnedSurface&) = delete;
    OwnedSurface& operator=(const OwnedSurface&) = delete;
    ~OwnedSurface() { ReleaseDibSurface(this); }

private:
    void Forget() { static_cast<DibSurface&>(*this) = DibSurface(); }
};

// Pixel (x, y) of a surface; callers keep (x, y) inside it.
inline uint8_t* SurfacePixel(const DibSurface& s, int32_t x, int32_t y) {
    return s.pixels + int64_t(y) * s.stride + int64_t(x) * 4;
}

#endif
