#pragma once

#include "BiquadFilter.h"
#include "SmoothedValue.h"

#include <algorithm>
#include <cstring>

namespace Steinberg::Vst::TaviroPlugIn {

// What fixes the coefficients of a filter sweep over a stretch of steps: the filter's type, rate
// and last coefficients, the smoothed frequency and resonance as they start, and the length.
struct FilterRampKey
{
    double type;
    double sampleRate;
    BiquadCoefficients start;
    SmoothedValue frequency;
    SmoothedValue resonance;
    double count;
};
static_assert(sizeof(FilterRampKey) == 16 * sizeof(double), "no padding: keys are compared bit for bit");

// Filter sweeps that oscillators share. While a channel's filter moves, all its voices usually
// follow the same ramp from the same values; the coefficients of a step (a power, a sine, a cosine
// and a hyperbolic sine) are then worked out once per stretch and copied. A ramp is a function of
// its key alone, compared bit for bit, so a copy is exactly what the oscillator would compute.
template <int32 maxLength>
class FilterRampCache
{
public:
    struct Ramp
    {
        FilterRampKey key;
        SmoothedValue frequencyEnd;
        SmoothedValue resonanceEnd;
        BiquadCoefficients coefficients[maxLength];
    };

    const Ramp* find(const FilterRampKey& key) const
    {
        for (const Ramp& ramp : ramps)
            if (std::memcmp(&ramp.key, &key, sizeof(FilterRampKey)) == 0)
                return &ramp;
        return nullptr;
    }

    void store(const FilterRampKey& key, const BiquadCoefficients* coefficients, int32 count,
               const SmoothedValue& frequencyEnd, const SmoothedValue& resonanceEnd)
    {
        Ramp& ramp = ramps[next];
        next = (next + 1) % kRamps;
        ramp.key = key;
        ramp.frequencyEnd = frequencyEnd;
        ramp.resonanceEnd = resonanceEnd;
        std::copy_n(coefficients, count, ramp.coefficients);
    }

private:
    // Three oscillators times the stretches of a 512-sample block.
    static constexpr int32 kRamps = 12;
    Ramp ramps[kRamps] = {};
    int32 next = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn
