#pragma once

#include "NarrowedSine.h"
#include "SampleCounters.h"
#include "WideVectors.h"
#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The tremolo's sine, sin(n x 2 pi x 2.5 Hz / rate) narrowed to single precision, for the sample
// counters of a stretch. It depends on the counter alone, and the notes of a chord (or of any
// notes that start together) count alike, so a stretch worked out once serves them all.
template <int32 maxLength>
class TremoloCache
{
public:
    // The sines for the counters first + 1 .. first + count (the counter is raised before the
    // tremolo is formed).
    const float* sines(uint64 first, int32 count, double sampleRate)
    {
        for (Stretch& s : stretches)
            if (s.first == first && s.count >= count && s.sampleRate == sampleRate)
                return s.values;
        Stretch& s = stretches[next];
        next = (next + 1) % kStretches;
        s.first = first;
        s.count = count;
        s.sampleRate = sampleRate;
        double x[maxLength];
        if (wideVectors())
            phasesWide(first + 1, count, sampleRate, x);
        else
            phases(first + 1, count, sampleRate, x);
        NarrowedSine::narrowedSines(x, s.values, count);
        return s.values;
    }

private:
    // The sine's arguments for the counters first .. first + count - 1; the divisions run four at
    // a time where the processor has AVX2.
    [[gnu::always_inline]] static void phases(uint64 first, int32 count, double sampleRate, double* x)
    {
        countersAsDoubles(first, count, x);
        for (int32 k = 0; k < count; ++k)
            x[k] = x[k] * 15.707963267948966 / sampleRate;
    }
    __attribute__((target("avx2"))) static void phasesWide(uint64 first, int32 count, double sampleRate,
                                                           double* x)
    {
        phases(first, count, sampleRate, x);
    }

    struct Stretch
    {
        uint64 first = ~uint64(0);
        int32 count = 0;
        double sampleRate = 0.0;
        float values[maxLength];
    };
    static constexpr int32 kStretches = 8;
    Stretch stretches[kStretches];
    int32 next = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn
