#pragma once

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace Steinberg::Vst::TaviroPlugIn {

// Flushes denormal numbers to zero for as long as it lives (decaying envelopes and filter tails
// would otherwise crawl through them at a fraction of the speed) and then restores the caller's
// floating-point mode.
class DenormalGuard
{
public:
#if defined(__SSE__)
    static constexpr unsigned int kFlushToZero = 0x8000;
    static constexpr unsigned int kDenormalsAreZero = 0x0040;

    DenormalGuard() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(saved); }

private:
    unsigned int saved;
#endif

public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};

} // namespace Steinberg::Vst::TaviroPlugIn
