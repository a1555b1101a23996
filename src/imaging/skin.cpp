// skin.cpp - ApplySkinFile and the table of the renderer's named images.
#include "imaging/skin.h"

#include <algorithm>
#include <string>

#include "imaging/image_file.h"

const char* const kSkinImageNames[kSkinImageCount] = {
    "GameBkg",     "GameBkgSeperator", "KtvBkg",      "WaveYellowL", "WaveYellowM",    "WaveYellowR",
    "WaveLightBlueL", "WaveLightBlueM", "WaveLightBlueR", "Slider",   "CursorGreen",    "CursorRed",
    "CursorYellow", "WaveBlueL",      "WaveBlueM",   "WaveBlueR",   "WaveYellowL",    "WaveYellowM",
    "WaveYellowR", "Number0",          "Number1",     "Number2",     "Number3",        "Number4",
    "Number5",     "Number6",          "Number7",     "Number8",     "Number9",        "Miss",
    "Poor",        "Good",             "Great",       "Perfect",
};

ImageRect ClipToSurface(const ImageRect& rect, const DibSurface& surface) {
    if (!surface.pixels) return rect;
    const int64_t left = std::max<int64_t>(rect.x, 0);
    const int64_t top = std::max<int64_t>(rect.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(rect.x) + std::max(rect.width, 0), surface.width);
    const int64_t bottom = std::min<int64_t>(int64_t(rect.y) + std::max(rect.height, 0), surface.height);
    if (right <= left || bottom <= top) return ImageRect();
    ImageRect clipped;
    clipped.x = int32_t(left);
    clipped.y = int32_t(top);
    clipped.width = int32_t(right - left);
    clipped.height = int32_t(bottom - top);
    return clipped;
}

bool ApplySkinFile(ImagesetRegistry* registry, DibSurface* atlas, ImageRect* images, const char* path) {
    std::string name;
    bool applied = false;
    if (path && ParseImageset(registry, path, &name)) {
        const std::string imageFile = FindImageFile(*registry, kRendererImageset);
        const std::string skinPath(path);
        const size_t slash = skinPath.rfind('\\');
        if (!imageFile.empty() && slash != std::string::npos) {
            const std::string imagePath = skinPath.substr(0, slash + 1) + imageFile;
            applied = LoadSurfaceFromFile(ToWide(imagePath.c_str()).c_str(), atlas) && name == kRendererImageset;
        }
    }
    for (int i = 0; i < kSkinImageCount; ++i)
        images[i] = ClipToSurface(FindImageRect(*registry, kRendererImageset, kSkinImageNames[i]), *atlas);
    return applied;
}
