// float_environment.h - every call from the host runs with the default floating-point
// state, whatever the host set (flush-to-zero from audio code, a changed rounding
// mode, x87 precision control from graphics code), and gives the host's state back.
//
// RENDERER_ENTRY marks functions the host or the system calls directly: on 32-bit
// Windows the caller only guarantees 4-byte stack alignment, so the stack is
// realigned for SSE there.
#ifndef RENDERER_CORE_FLOAT_ENVIRONMENT_H
#define RENDERER_CORE_FLOAT_ENVIRONMENT_H

#if defined(__i386__) || defined(__x86_64__)
#include <xmmintrin.h>
#define RENDERER_HAS_SSE_CONTROL 1
#endif

#if defined(__i386__) && defined(_WIN32)
#define RENDERER_ENTRY __attribute__((force_align_arg_pointer))
#else
#define RENDERER_ENTRY
#endif

// Round to nearest, all exceptions masked, no flush-to-zero, no denormals-are-zero.
constexpr unsigned kDefaultMxcsr = 0x1F80;
// x87: all exceptions masked, 64-bit precision, round to nearest.
constexpr unsigned short kDefaultX87Control = 0x037F;

class FloatEnvironmentScope {
public:
    FloatEnvironmentScope() {
#ifdef RENDERER_HAS_SSE_CONTROL
        savedMxcsr_ = _mm_getcsr();
        // Keep the sticky exception flags of the host; replace only the controls.
        _mm_setcsr(kDefaultMxcsr | (savedMxcsr_ & 0x3F));
#endif
#if defined(__i386__)
        __asm__ __volatile__("fnstcw %0" : "=m"(savedX87_));
        const unsigned short control = kDefaultX87Control;
        __asm__ __volatile__("fldcw %0" : : "m"(control));
#endif
    }
    ~FloatEnvironmentScope() {
#if defined(__i386__)
        __asm__ __volatile__("fldcw %0" : : "m"(savedX87_));
#endif
#ifdef RENDERER_HAS_SSE_CONTROL
        _mm_setcsr(savedMxcsr_);
#endif
    }
    FloatEnvironmentScope(const FloatEnvironmentScope&) = delete;
    FloatEnvironmentScope& operator=(const FloatEnvironmentScope&) = delete;

private:
    unsigned savedMxcsr_ = 0;
#if defined(__i386__)
    unsigned short savedX87_ = 0;
#endif
};

#endif
