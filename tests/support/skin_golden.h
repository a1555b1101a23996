// skin_golden.h - checksums of everything initialisation builds from the default
// skin.  The native build and the Win32 build under Wine must both reproduce them:
// the same image decoding, tiling, rotation and cursor frames, byte for byte.
#ifndef RENDERER_TESTS_SKIN_GOLDEN_H
#define RENDERER_TESTS_SKIN_GOLDEN_H

#include <cstdint>
#include <map>
#include <string>

#include "core/renderer_impl.h"
#include "pixel_harness.h"

namespace skin_golden {

inline uint32_t SurfaceCrc(const DibSurface& s) {
    if (!s.pixels) return 0;
    return harness::Crc32(s.pixels, size_t(s.stride) * size_t(s.height));
}

// One checksum per piece that initialisation fills.
inline std::map<std::string, uint32_t> Compute(const CGDIRendererImpl& r) {
    std::map<std::string, uint32_t> out;
    out["atlas"] = SurfaceCrc(r.atlas);
    out["images"] = harness::Crc32(reinterpret_cast<const uint8_t*>(r.images), sizeof r.images);
    out["gameStrip"] = SurfaceCrc(r.gameStrip);
    out["lyricsStrip"] = SurfaceCrc(r.lyricsStrip);
    out["cursorStrip"] = SurfaceCrc(r.cursorStrip);
    uint32_t index = 0;
    for (const auto& entry : r.cursorIndex) {
        index = harness::Crc32(reinterpret_cast<const uint8_t*>(&entry.first), sizeof entry.first, index);
        index = harness::Crc32(reinterpret_cast<const uint8_t*>(&entry.second), sizeof entry.second, index);
    }
    out["cursorIndex"] = index;
    return out;
}

// Recorded from the native build with skins/default and the default layout.
inline std::map<std::string, uint32_t> Expected() {
    return {
        {"atlas", 0xF5B284E5u},       {"images", 0xD857494Du},      {"gameStrip", 0x5116D050u},
        {"lyricsStrip", 0xCF63E124u}, {"cursorStrip", 0xBE38DA7Fu}, {"cursorIndex", 0x86DDE4FDu},
    };
}

}  // namespace skin_golden

#endif
