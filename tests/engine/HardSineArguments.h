#pragma once

#include "source/engine/SineLanes.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace Taviro::Test {

// Arguments where a sine is hard: zero, multiples of pi/2 and their neighbours (the remainder
// cancels), the edge of the range the lanes handle, what lies beyond it, and the phases the
// oscillator produces (sample counter times increment plus offset) over minutes of playback.
inline std::vector<double> hardSineArguments()
{
    using Steinberg::int32;
    using Steinberg::uint64;
    constexpr double kLargest = Steinberg::Vst::TaviroPlugIn::SineLanes::kLargestArgument;
    std::vector<double> x = {0.0,
                             -0.0,
                             1e-300,
                             -1e-300,
                             1e-9,
                             std::numbers::pi / 4,
                             kLargest,
                             -kLargest,
                             std::nextafter(kLargest, 2e6),
                             1e7,
                             -3e9,
                             1e300,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (int32 k = -40; k <= 100000; k = k < 100 ? k + 1 : k * 3 / 2)
    {
        const double m = k * (std::numbers::pi / 2);
        for (double v : {m, std::nextafter(m, 1e9), std::nextafter(m, -1e9)})
            x.push_back(v);
    }
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> uniform(-kLargest, kLargest);
    std::uniform_real_distribution<double> small(-8.0, 8.0);
    for (int32 i = 0; i < 200000; ++i)
        x.push_back(i % 2 == 0 ? uniform(random) : small(random));
    const double increment = 2.0 * std::numbers::pi * 440.0 / 48000.0;
    for (uint64 n = 0; n < 48000ull * 300; n += 997)
        x.push_back(static_cast<double>(n) * increment + 0.3);
    return x;
}

} // namespace Taviro::Test
