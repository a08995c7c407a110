// The vector sine against the library's: its double result stays inside the error bound that its
// narrowing relies on, and the narrowed float is always the library's float, in every instruction
// set's build, including the arguments where the bound does not settle the rounding.

#include "source/engine/NarrowedSine.h"
#include "HardSineArguments.h"
#include "source/engine/NarrowedSineKernel.h"
#include "source/engine/TremoloCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;
using Taviro::Test::hardSineArguments;

TEST(NarrowedSine, DoubleResultWithinTheBoundItsNarrowingAssumes)
{
    const std::vector<double> x = hardSineArguments();
    double worstUlps = 0.0;
    for (size_t i = 0; i + 1 < x.size(); i += 2)
    {
        const auto s = NarrowedSine::sine<2>(NarrowedSine::Lanes<2>::Doubles{x[i], x[i + 1]});
        for (size_t lane = 0; lane < 2; ++lane)
        {
            const double arg = x[i + lane];
            if (!(std::abs(arg) <= NarrowedSine::kLargestArgument))
                continue;
            const double library = std::sin(arg);
            const double difference = std::abs(s[lane] - library);
            ASSERT_LE(difference,
                      NarrowedSine::kAbsoluteError + NarrowedSine::kRelativeError * std::abs(library))
                << "sin(" << arg << ")";
            // Every library is exact to an ulp for small arguments: so is ours.
            if (std::abs(arg) <= 8.0 && std::abs(library) > 1e-3)
                worstUlps = std::max(
                    worstUlps, difference / (std::nextafter(std::abs(library), 2.0) - std::abs(library)));
        }
    }
    // Away from zero and for small arguments the result is within an ulp of the library's.
    EXPECT_LE(worstUlps, 1.0);
}

TEST(NarrowedSine, NarrowedValueIsAlwaysTheLibrarysFloat)
{
    using Build = void (*)(const double*, float*, int32);
    std::vector<Build> builds = {NarrowedSine::narrowedSines, NarrowedSine::narrowedSinesSse2};
    if (__builtin_cpu_supports("avx2"))
        builds.push_back(NarrowedSine::narrowedSinesAvx2);
    const std::vector<double> x = hardSineArguments();
    const int32 all = static_cast<int32>(x.size());
    // Every count from 1 to 8, then the whole list and all but its last (the lanes' remainders).
    std::vector<int32> counts = {all, all - 1};
    for (int32 c = 1; c <= 8; ++c)
        counts.push_back(c);
    for (const Build build : builds)
        for (const int32 count : counts)
        {
            std::vector<float> out(static_cast<size_t>(count));
            build(x.data(), out.data(), count);
            for (int32 i = 0; i < count; ++i)
            {
                const float expected = static_cast<float>(std::sin(x[static_cast<size_t>(i)]));
                if (std::isnan(expected))
                    ASSERT_TRUE(std::isnan(out[static_cast<size_t>(i)]));
                else
                    ASSERT_EQ(std::memcmp(&expected, &out[static_cast<size_t>(i)], sizeof(float)), 0)
                        << "sin(" << x[static_cast<size_t>(i)] << "): " << out[static_cast<size_t>(i)]
                        << " against " << expected;
            }
        }
}

// The tremolo's sines are sin(counter x 2 pi x 2.5 / rate) narrowed, whether they come from the
// table of the first counters, from a kept stretch beyond it or across its end, and after the
// sample rate changes.
TEST(NarrowedSine, TremoloSinesAreTheFormulasWhereverTheyAreKept)
{
    constexpr int32 kLength = 128;
    auto cache = std::make_unique<TremoloCache<kLength>>();
    constexpr uint64 end = TremoloCache<kLength>::kTableLength;
    const std::vector<uint64> firsts = {0, 5, 0, end - 300, 40, end - kLength, end - 1, end + 77,
                                        end + 77, 3ull << 40};
    for (double rate : {48000.0, 44100.0})
        for (uint64 first : firsts)
            for (int32 count : {kLength, 1, 77})
            {
                const float* sines = cache->sines(first, count, rate);
                for (int32 k = 0; k < count; ++k)
                {
                    const double x = static_cast<double>(first + 1 + static_cast<uint64>(k)) * 15.707963267948966 / rate;
                    ASSERT_EQ(sines[k], static_cast<float>(std::sin(x)))
                        << "counter " << first + 1 + static_cast<uint64>(k) << " at " << rate << " Hz";
                }
            }
}

} // namespace
