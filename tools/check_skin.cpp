// check_skin.cpp - checks a skin directory the way the renderer will read it.
//
//   check_skin SKIN_DIR
//
// Reports the image file's format and size, and each of the 34 named images that
// is missing, empty, or reaches outside the image file.  Exits 1 when anything
// is wrong, 0 when the skin is complete.
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "imaging/imageset.h"
#include "imaging/skin.h"
#include "platform/platform.h"

namespace {

std::string Format(const std::vector<uint8_t>& d) {
    auto starts = [&](std::initializer_list<int> bytes) {
        size_t i = 0;
        for (int b : bytes)
            if (i >= d.size() || d[i++] != b) return false;
        return true;
    };
    if (starts({0x89, 'P', 'N', 'G'})) return "PNG";
    if (starts({0xFF, 0xD8})) return "JPEG";
    if (starts({'B', 'M'})) return "BMP";
    if (starts({'G', 'I', 'F', '8'})) return "GIF";
    if (starts({'8', 'B', 'P', 'S'})) return "PSD";
    if (d.size() > 92 && d[0] == 0x53 && d[1] == 0x80 && d[2] == 0xF6 && d[3] == 0x34) return "PIC";
    return "TGA or unknown";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_skin SKIN_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::string imagesetPath = dir + "\\renderer.imageset";
    int errors = 0;
    ImagesetRegistry registry;
    if (!ParseImageset(&registry, imagesetPath.c_str())) {
        std::printf("error: %s/renderer.imageset is missing, too large, too deeply nested, not XML, or has no "
                    "named Imageset\n",
                    dir.c_str());
        return 1;
    }
    if (registry.imagesets.find(kRendererImageset) == registry.imagesets.end()) {
        std::printf("error: the imageset is not named \"Renderer\"; the renderer draws nothing from it\n");
        return 1;
    }
    const std::string imageFile = FindImageFile(registry, kRendererImageset);
    DibSurface atlas;
    if (imageFile.empty()) {
        std::printf("error: the imageset names no Imagefile\n");
        ++errors;
    } else {
        std::vector<uint8_t> bytes;
        const std::string path = dir + "\\" + imageFile;
        if (!platform::ReadWholeFile(path.c_str(), kMaxImageFileBytes, &bytes) || bytes.empty()) {
            std::printf("error: image file %s cannot be read (missing, empty, or over %zu bytes)\n",
                        imageFile.c_str(), kMaxImageFileBytes);
            ++errors;
        } else if (!LoadSurfaceFromFile(ToWide(path.c_str()).c_str(), &atlas)) {
            std::printf("error: image file %s (%s, %zu bytes) cannot be decoded: progressive JPEG, too large "
                        "(over %d x %d or %lld pixels) or damaged\n",
                        imageFile.c_str(), Format(bytes).c_str(), bytes.size(), kMaxImageDimension,
                        kMaxImageDimension, static_cast<long long>(kMaxImagePixels));
            ++errors;
        } else {
            std::printf("image file: %s, %s, %d x %d pixels\n", imageFile.c_str(), Format(bytes).c_str(),
                        atlas.width, atlas.height);
        }
    }
    const ImageMap& images = registry.imagesets[kRendererImageset];
    for (int i = 0; i < kSkinImageCount; ++i) {
        const char* name = kSkinImageNames[i];
        if (i >= kImageTrailYellowL && i <= kImageTrailYellowR) continue;  // same names as entries 3 to 5
        const auto found = images.find(name);
        if (found == images.end()) {
            std::printf("error: %-17s missing\n", name);
            ++errors;
            continue;
        }
        const ImageRect& r = found->second;
        if (r.width <= 0 || r.height <= 0) {
            std::printf("error: %-17s empty (%d x %d)\n", name, r.width, r.height);
            ++errors;
        } else if (atlas.pixels && (r.x < 0 || r.y < 0 || int64_t(r.x) + r.width > atlas.width ||
                                    int64_t(r.y) + r.height > atlas.height)) {
            std::printf("error: %-17s at (%d, %d) size %d x %d lies outside the %d x %d image\n", name, r.x, r.y,
                        r.width, r.height, atlas.width, atlas.height);
            ++errors;
        } else {
            std::printf("ok:    %-17s at (%d, %d) size %d x %d\n", name, r.x, r.y, r.width, r.height);
        }
    }
    ReleaseDibSurface(&atlas);
    std::printf("%s: %d error%s\n", dir.c_str(), errors, errors == 1 ? "" : "s");
    return errors ? 1 : 0;
}
