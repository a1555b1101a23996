// image_fuzzer.cpp - arbitrary bytes through the image decoder, and whatever
// decodes through a copy, a blend and a rotation of its whole area.
#include <cstdint>
#include <cstdlib>

#include "imaging/compositing.h"
#include "imaging/image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedImage image;
    if (!DecodeImage(data, size, &image)) return 0;
    DibSurface source;
    source.pixels = image.pixels.get();
    source.width = image.width;
    source.height = image.height;
    source.stride = image.width * 4;
    DibSurface target;
    if (CreateDibSurface(64, 64, &target)) {
        CopyPixels(target.pixels, target.stride, 0, 0, 64, 64, source.pixels, source.stride, 0, 0,
                   source.width < 64 ? source.width : 64, source.height < 64 ? source.height : 64);
        BlendPixels(target.pixels, target.stride, 3, 3, 64, 64, source.pixels, source.stride, 0, 0,
                    source.width < 61 ? source.width : 61, source.height < 61 ? source.height : 61, 200);
        int32_t w = 0, h = 0, tx = 0, ty = 0;
        RotatePixels(source, 0, 0, source.width < 64 ? source.width : 64, source.height < 64 ? source.height : 64,
                     &target, 0, int32_t(size % 360), &w, &h, &tx, &ty);
        ReleaseDibSurface(&target);
    }
    return 0;
}
