#pragma once

#include "NarrowedSine.h"
#include "SampleCounters.h"
#include "WideVectors.h"
#include "pluginterfaces/base/ftypes.h"

#include <algorithm>
#include <array>

namespace Steinberg::Vst::TaviroPlugIn {

// The tremolo's sine, sin(n x 2 pi x 2.5 Hz / rate) narrowed to single precision, for the sample
// counters of a stretch. It depends on the counter alone, so values worked out once serve every
// voice: the first seconds of a note read a table that fills as counters first reach it, and
// later stretches are kept for the notes that started together (a chord counts alike).
template <int32 maxLength>
class TremoloCache
{
public:
    // Counters below this come from the table (about 1.4 s at 48 kHz).
    static constexpr uint64 kTableLength = uint64(1) << 16;

    // The sines for the counters first + 1 .. first + count (the counter is raised before the
    // tremolo is formed).
    const float* sines(uint64 first, int32 count, double sampleRate)
    {
        if (first < kTableLength - static_cast<uint64>(count))
            return fromTable(first + 1, count, sampleRate);
        for (Stretch& s : stretches)
            if (s.first == first && s.count >= count && s.sampleRate == sampleRate)
                return s.values;
        Stretch& s = stretches[next];
        next = (next + 1) % kStretches;
        s.first = first;
        s.count = count;
        s.sampleRate = sampleRate;
        sinesOf(first + 1, count, sampleRate, s.values);
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

    const float* fromTable(uint64 from, int32 count, double sampleRate)
    {
        if (sampleRate != tableRate)
        {
            tableRate = sampleRate;
            tableFilled = 0;
        }
        const uint64 end = from + static_cast<uint64>(count);
        while (tableFilled < end)
        {
            const int32 piece = static_cast<int32>(std::min<uint64>(maxLength, kTableLength - tableFilled));
            sinesOf(tableFilled, piece, sampleRate, table.data() + tableFilled);
            tableFilled += static_cast<uint64>(piece);
        }
        return table.data() + from;
    }

    static void sinesOf(uint64 first, int32 count, double sampleRate, float* out)
    {
        double x[maxLength];
        if (wideVectors())
            phasesWide(first, count, sampleRate, x);
        else
            phases(first, count, sampleRate, x);
        NarrowedSine::narrowedSines(x, out, count);
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
    std::array<float, kTableLength> table;
    uint64 tableFilled = 0; // counters below this are in the table
    double tableRate = 0.0;
};

} // namespace Steinberg::Vst::TaviroPlugIn
