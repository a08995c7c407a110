// On Linux the double voice's sine is worked out in vector lanes, and it must be faithful: within
// an ulp of the true sine, so that it lies within an ulp of any faithful library sine. The true
// sine here is the extended-precision library's (11 bits more than a double, accurate to a small
// fraction of a double's ulp), with that fraction allowed on top.

#include "HardSineArguments.h"
#include "InnerLoopsTest.h"
#include "source/engine/DoubleSine.h"
#include "source/engine/SineLanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;

using DoubleSineLanes = Taviro::Test::InnerLoopsTest;

TEST_P(DoubleSineLanes, Faithful)
{
    const std::vector<double> x = Taviro::Test::hardSineArguments();
    std::vector<double> out(x.size());
    DoubleSine::sines(x.data(), out.data(), static_cast<int32>(x.size()));
    for (size_t i = 0; i < x.size(); ++i)
    {
        if (!(std::abs(x[i]) <= SineLanes::kLargestArgument))
            continue;
        const long double truth = sinl(static_cast<long double>(x[i]));
        if (out[i] == static_cast<double>(truth))
            continue;
        const long double ulp = std::ldexp(1.0L, std::ilogb(static_cast<double>(truth)) - 52);
        ASSERT_LT(std::abs(static_cast<long double>(out[i]) - truth) / ulp, 1.0L + 0x1p-9L)
            << "sin(" << x[i] << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(InnerLoops, DoubleSineLanes, ::testing::Values(false, true),
                         Taviro::Test::innerLoopsName);

} // namespace
