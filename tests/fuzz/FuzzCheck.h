#pragma once

#include <cstdio>
#include <cstdlib>

namespace Taviro::Fuzz {

// A broken invariant is a finding: say which one and stop, so that libFuzzer keeps the input.
inline void require(bool holds, const char* invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

// A normalised value as the host must see it: a number within 0..1 (NaN fails both tests).
inline bool isNormalized(double value)
{
    return value >= 0.0 && value <= 1.0;
}

} // namespace Taviro::Fuzz
