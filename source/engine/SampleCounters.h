#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The sample counters first, first + 1, ..., first + count - 1 as doubles, each exactly what
// static_cast<double> makes of it. Below 2^53 every counter converts exactly, so the first plus a
// small whole number gives the same double, in a loop that vectorises.
[[gnu::always_inline]] inline void countersAsDoubles(uint64 first, int32 count, double* out)
{
    constexpr uint64 kExactBelow = uint64(1) << 53;
    if (first < kExactBelow - static_cast<uint64>(count))
    {
        const double base = static_cast<double>(first);
        for (int32 k = 0; k < count; ++k)
            out[k] = base + static_cast<double>(k);
    }
    else
    {
        for (int32 k = 0; k < count; ++k)
            out[k] = static_cast<double>(first + static_cast<uint64>(k));
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
