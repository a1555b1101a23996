// The floating-point state inside an entry point is the default one whatever the
// host set, and the host's state is given back afterwards.
#include <gtest/gtest.h>
#include <float.h>
#include <xmmintrin.h>

#include "base/float_environment.h"

namespace {

unsigned short X87Control() {
    unsigned short cw = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

TEST(FloatEnvironment, DefaultInsideAndHostStateRestored) {
    const unsigned savedCsr = _mm_getcsr();
    const unsigned short savedCw = X87Control();
    // A host with flush-to-zero, denormals-are-zero, rounding down and 24-bit x87 precision.
    const unsigned hostCsr = (0x1F80 | 0x8000 | 0x0040 | 0x2000);
    _mm_setcsr(hostCsr);
    const unsigned short hostCw = 0x047F & ~0x0300;  // round down, single precision
    __asm__ __volatile__("fldcw %0" : : "m"(hostCw));
    {
        FloatEnvironmentScope scope;
        EXPECT_EQ(0x1F80u, _mm_getcsr() & ~0x3Fu);
        EXPECT_EQ(0x037F, X87Control());
        volatile float tiny = 1e-38f;
        volatile float half = tiny / 4.0f;  // a denormal survives without flush-to-zero
        EXPECT_NE(0.0f, half);
    }
    EXPECT_EQ(hostCsr, _mm_getcsr() & ~0x3Fu);
    EXPECT_EQ(hostCw, X87Control());
    _mm_setcsr(savedCsr);
    __asm__ __volatile__("fldcw %0" : : "m"(savedCw));
}

}  // namespace
