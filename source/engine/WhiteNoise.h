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
        state = advance(state);
        return static_cast<int32>(state >> 17);
    }

    // The next `count` draws, each as next() would give it, stored as the sample type. The
    // generator's step is serial; four lanes that each jump four steps at a time run side by side
    // and give the same sequence.
    template <typename T>
    void draw(T* out, int32 count)
    {
        int32 k = 0;
        if (count >= kLanes)
        {
            uint32 lanes[kLanes];
            for (uint32& lane : lanes)
                lane = state = advance(state);
            for (;;)
            {
                for (int32 j = 0; j < kLanes; ++j)
                    out[k + j] = static_cast<T>(static_cast<int32>(lanes[j] >> 17));
                k += kLanes;
                if (k + kLanes > count)
                    break;
                for (uint32& lane : lanes)
                    lane = lane * kJumpMultiplier + kJumpIncrement;
            }
            state = lanes[kLanes - 1];
        }
        for (; k < count; ++k)
            out[k] = static_cast<T>(next());
    }

private:
    static constexpr uint32 kMultiplier = 1664525u;
    static constexpr uint32 kIncrement = 1013904223u;
    static constexpr int32 kLanes = 4;
    // Four steps at once: x -> a^4 x + c (a^3 + a^2 + a + 1), modulo 2^32.
    static constexpr uint32 kJumpMultiplier = kMultiplier * kMultiplier * kMultiplier * kMultiplier;
    static constexpr uint32 kJumpIncrement =
        kIncrement * (kMultiplier * kMultiplier * kMultiplier + kMultiplier * kMultiplier + kMultiplier + 1u);
    static uint32 advance(uint32 x) { return x * kMultiplier + kIncrement; }

    uint32 state = 22222u;
};

} // namespace Steinberg::Vst::TaviroPlugIn
