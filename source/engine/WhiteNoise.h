#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The voice pool's own random source for white noise: integers uniform in 0..32767, the top 15
// bits of a full-period 32-bit linear congruential generator. Lock-free and private to the pool.
class WhiteNoise
{
public:
    WhiteNoise() = default;
    explicit WhiteNoise(uint32 seed) : state(seed) {}

    int32 next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<int32>(state >> 17);
    }

private:
    uint32 state = 22222u;
};

} // namespace Steinberg::Vst::TaviroPlugIn
