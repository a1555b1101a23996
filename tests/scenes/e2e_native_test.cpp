// The end-to-end scenario on the native build: the presented frame's sampled
// pixels give the checksum that renderer.dll under Wine must show on the screen.
#include "e2e_scenario.h"
#include "renderer_fixture.h"
#include "test_files.h"

namespace {

using EndToEnd = RendererTest;

TEST_F(EndToEnd, PresentedPixelsOfBothModes) {
    RendererLayout layout = e2e::Layout();
    ASSERT_TRUE(renderer->Init((test_files::SourceDir() + "/tests/data/flat_skin").c_str(), host, 10, 20, &layout, 1,
                               false));
    e2e::Play(renderer, 1, 1900);
    EXPECT_EQ(e2e::kExpectedGame, e2e::SampleCrc(renderer->window->presentedPixels.data(), 1))
        << std::hex << e2e::SampleCrc(renderer->window->presentedPixels.data(), 1);
    e2e::Play(renderer, 0, 2100);
    EXPECT_EQ(e2e::kExpectedLyrics, e2e::SampleCrc(renderer->window->presentedPixels.data(), 0))
        << std::hex << e2e::SampleCrc(renderer->window->presentedPixels.data(), 0);
}

}  // namespace
