// imageset_fuzzer.cpp - arbitrary text through the imageset parser and the lookups.
#include <cstdint>
#include <string>

#include "imaging/imageset.h"
#include "imaging/skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ImagesetRegistry registry;  // grows across inputs, as the renderer's does
    const std::string text(reinterpret_cast<const char*>(data), size);
    XmlNestingDepth(text);
    ParseImagesetText(&registry, text);
    for (int i = 0; i < kSkinImageCount; ++i) FindImageRect(registry, kRendererImageset, kSkinImageNames[i]);
    FindImageFile(registry, kRendererImageset);
    if (registry.imagesets.size() > 64) registry = ImagesetRegistry();
    return 0;
}
