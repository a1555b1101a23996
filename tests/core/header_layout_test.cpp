// The layout defaults as the 23 words a host sees (the float as its bit pattern).
#include <gtest/gtest.h>

#include <cstring>

#include "core/layout.h"
#include "renderer.h"

namespace {

TEST(Layout, DefaultsInFieldOrder) {
    const RendererLayout l = DefaultLayout();
    int32_t words[23];
    std::memcpy(words, &l, sizeof words);
    const int32_t expected[23] = {150, 490, 640, 77, 87, 30, 200, 230, 0x3E19999A, 22, 22, 2,
                                  100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    for (int i = 0; i < 23; ++i) EXPECT_EQ(expected[i], words[i]) << "field " << i;
}

}  // namespace
