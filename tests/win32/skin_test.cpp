// Initialisation with the default skin on the Win32 build: the same bytes as the
// native build (decoding, tiling, rotation, cursor frames), checked by checksum.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "skin_golden.h"
#include "screen.h"

namespace {

TEST(Win32Skin, DefaultSkinBuildsTheSameSurfacesAsNative) {
    const char* source = std::getenv("RENDERER_SOURCE_DIR");
    ASSERT_NE(nullptr, source);
    auto* renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
    HWND host = screen::CreateHostWindow(0, 0, 700, 300, RGB(0, 0, 0));
    RendererLayout layout = renderer->layout;
    const std::string skin = std::string(source) + "\\skins\\default";
    ASSERT_TRUE(renderer->Init(skin.c_str(), reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1, false));
    ASSERT_NE(nullptr, renderer->atlas.pixels);
    const auto actual = skin_golden::Compute(*renderer);
    for (const auto& expected : skin_golden::Expected())
        EXPECT_EQ(expected.second, actual.at(expected.first)) << expected.first;
    renderer->Uninit();
    DestroyWindow(host);
}

}  // namespace
