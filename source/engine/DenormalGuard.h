#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace Steinberg::Vst::TaviroPlugIn {

// Flushes denormal numbers to zero (FTZ and DAZ) for its lifetime and restores the previous mode.
// Decaying filter histories would otherwise slow the audio thread down by orders of magnitude.
class DenormalGuard
{
public:
#if defined(__SSE__) || defined(__x86_64__)
    DenormalGuard() : previous(_mm_getcsr()) { _mm_setcsr(previous | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(previous); }

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned previous;
#else
    DenormalGuard() = default;
#endif
public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};

} // namespace Steinberg::Vst::TaviroPlugIn
