// renderer.dll under Wine plays the end-to-end scenario through IRenderer; the
// pixels read back from the screen must be what the native build composed.
#include <gtest/gtest.h>
#include <windows.h>
#include <xmmintrin.h>

#include <cstdlib>
#include <string>

#include "e2e_scenario.h"
#include "screen.h"

namespace {

TEST(EndToEndUnderWine, ScreenShowsWhatTheNativeBuildComposes) {
    const char* dll = std::getenv("RENDERER_DLL");
    const char* source = std::getenv("RENDERER_SOURCE_DIR");
    ASSERT_NE(nullptr, source);
    HMODULE module = LoadLibraryA(dll ? dll : "renderer.dll");
    ASSERT_NE(nullptr, module);
    auto create = reinterpret_cast<IRenderer* (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "CreateRenderer")));
    IRenderer* r = create();
    ASSERT_NE(nullptr, r);
    HWND host = screen::CreateHostWindow(100, 200, 800, 600, RGB(0, 0, 0));
    RendererLayout layout = e2e::Layout();
    const std::string skin = std::string(source) + "\\tests\\data\\flat_skin";
    ASSERT_TRUE(r->Init(skin.c_str(), host, 10, 20, &layout, 1, false));

    e2e::Play(r, 1, 1900);
    screen::Pump(300);
    std::vector<uint8_t> px = screen::Read(110, 220, 640, 230);
    EXPECT_EQ(e2e::kExpectedGame, e2e::SampleCrc(px.data(), 1)) << std::hex << e2e::SampleCrc(px.data(), 1);

    e2e::Play(r, 0, 2100);
    screen::Pump(300);
    px = screen::Read(110, 220, 640, 230);
    EXPECT_EQ(e2e::kExpectedLyrics, e2e::SampleCrc(px.data(), 0)) << std::hex << e2e::SampleCrc(px.data(), 0);

    // The host's floating-point state does not change the frame.
    const unsigned savedCsr = _mm_getcsr();
    _mm_setcsr(0x1F80 | 0x8000 | 0x0040 | 0x6000);  // flush-to-zero, denormals-are-zero, toward zero
    unsigned short cw = 0, weird = 0x0C7F;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    __asm__ __volatile__("fldcw %0" : : "m"(weird));
    e2e::Play(r, 0, 2100);
    __asm__ __volatile__("fldcw %0" : : "m"(cw));
    _mm_setcsr(savedCsr);
    screen::Pump(300);
    px = screen::Read(110, 220, 640, 230);
    EXPECT_EQ(e2e::kExpectedLyrics, e2e::SampleCrc(px.data(), 0));

    r->Hide();
    r->Uninit();
    DestroyWindow(host);
}

}  // namespace
