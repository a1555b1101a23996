// The host-facing records: sizes and field offsets, and the layout defaults.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "core/layout.h"
#include "renderer.h"

namespace {

TEST(HostRecords, FixedSizesAndOffsets) {
    EXPECT_EQ(92u, sizeof(RendererLayout));
    EXPECT_EQ(12u, sizeof(ScoreInfo));
    EXPECT_EQ(12u, sizeof(SongNote));
    EXPECT_EQ(28u, sizeof(PlayState));
    EXPECT_EQ(32u, offsetof(RendererLayout, pixelsPerMs));
    EXPECT_EQ(88u, offsetof(RendererLayout, leadInTime));
}

TEST(Layout, DefaultsInFieldOrder) {
    const RendererLayout l = DefaultLayout();
    int32_t words[23];
    std::memcpy(words, &l, sizeof words);
    const int32_t expected[23] = {150, 490, 640, 77, 87, 30, 200, 230, 0x3E19999A, 22, 22, 2,
                                  100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    for (int i = 0; i < 23; ++i) EXPECT_EQ(expected[i], words[i]) << "field " << i;
}

}  // namespace
