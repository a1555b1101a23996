// renderer_access.cpp - see renderer_access.h.
#include "renderer_access.h"

#include <sys/stat.h>

#include "core/renderer_impl.h"
#include "imaging/skin.h"
#include "window/headless_window.h"

namespace player {

RendererWindowHandle CreateHostWindow(int width, int height) {
    return headless::CreateHostWindow(0, 0, width, height);
}

const std::vector<uint8_t>* PresentedFrame(IRenderer* renderer, int* width, int* height) {
    const RendererWindowHandle window = static_cast<CGDIRendererImpl*>(renderer)->window;
    if (!window || window->presentCount == 0) return nullptr;
    *width = window->presentedWidth;
    *height = window->presentedHeight;
    return &window->presentedPixels;
}

bool CheckSkin(const std::string& dir, std::string* error, std::vector<std::string>* warnings) {
    const std::string imageset = dir + "/renderer.imageset";
    struct stat info;
    if (stat(imageset.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = "no skin at " + dir + ": " + imageset + " does not exist";
        return false;
    }
    ImagesetRegistry registry;
    DibSurface atlas;
    ImageRect images[kSkinImageCount];
    ApplySkinFile(&registry, &atlas, images, (dir + "\\renderer.imageset").c_str());
    bool ok = true;
    if (registry.imagesets.find(kRendererImageset) == registry.imagesets.end()) {
        *error = "the skin " + imageset + " is not an imageset named \"Renderer\" (or not readable XML)";
        ok = false;
    } else if (!atlas.pixels) {
        const std::string file = FindImageFile(registry, kRendererImageset);
        *error = file.empty() ? "the skin " + imageset + " names no Imagefile"
                              : "the skin image " + dir + "/" + file + " cannot be read or decoded";
        ok = false;
    } else {
        // Backgrounds and note bars: without them the frames would show no bars.
        const int needed[] = {kImageGameBkg,        kImageKtvBkg,         kImageWaveYellowL,   kImageWaveYellowM,
                              kImageWaveYellowR,    kImageWaveLightBlueL, kImageWaveLightBlueM, kImageWaveLightBlueR,
                              kImageWaveBlueL,      kImageWaveBlueM,      kImageWaveBlueR};
        std::string missing;
        for (int i : needed)
            if (images[i].width <= 0 || images[i].height <= 0) missing += std::string(missing.empty() ? "" : ", ") + kSkinImageNames[i];
        if (!missing.empty()) {
            *error = "the skin " + imageset + " lacks images the bars need: " + missing;
            ok = false;
        }
        for (int i = 0; i < kSkinImageCount && ok; ++i) {
            bool isNeeded = i >= kImageTrailYellowL && i <= kImageTrailYellowR;
            for (int n : needed) isNeeded |= n == i;
            if (!isNeeded && (images[i].width <= 0 || images[i].height <= 0))
                warnings->push_back("the skin " + imageset + " has no image " + kSkinImageNames[i]);
        }
    }
    ReleaseDibSurface(&atlas);
    return ok;
}

}  // namespace player
