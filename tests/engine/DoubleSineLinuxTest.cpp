// On Linux the double voice's sine is worked out in vector lanes, and it must be faithful: within
// an ulp of the true sine, so that it lies within an ulp of any faithful library sine. The true
// sine here is the extended-precision library's (11 bits more than a double, accurate to a small
// fraction of a double's ulp), with that fraction allowed on top.

#include "HardSineArguments.h"
#include "source/engine/DoubleSine.h"
#include "source/engine/SineLanes.h"
#include "source/engine/WideVectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;

TEST(DoubleSineLanes, FaithfulInEveryInstructionSetsBuild)
{
    const bool processorDefault = wideVectors();
    std::vector<bool> builds = {false};
    if (__builtin_cpu_supports("avx2"))
        builds.push_back(true);
    const std::vector<double> x = Taviro::Test::hardSineArguments();
    std::vector<double> out(x.size());
    for (const bool wide : builds)
    {
        wideVectors() = wide;
        DoubleSine::sines(x.data(), out.data(), static_cast<int32>(x.size()));
        for (size_t i = 0; i < x.size(); ++i)
        {
            if (!(std::abs(x[i]) <= SineLanes::kLargestArgument))
                continue;
            const long double truth = sinl(static_cast<long double>(x[i]));
            if (out[i] == static_cast<double>(truth))
                continue;
            const long double ulp = std::ldexp(1.0L, std::ilogb(static_cast<double>(truth)) - 52);
            const long double error = std::abs(static_cast<long double>(out[i]) - truth) / ulp;
            ASSERT_LT(error, 1.0L + 0x1p-9L)
                << "sin(" << x[i] << ") in " << (wide ? "AVX2" : "SSE2") << " lanes";
        }
    }
    wideVectors() = processorDefault;
}

} // namespace
