// The double voice's sine against the library's. Where it replaces the library's sine, the one
// difference allowed is an ulp of the double result: ours and a faithful library sine are then
// both one of the two doubles around the true sine. Its value for an argument must not depend on
// the instruction set, nor on where the argument stands in the list, or the voice would change
// with the block size.

#include "source/engine/DoubleSine.h"
#include "HardSineArguments.h"
#include "InnerLoopsTest.h"
#include "source/engine/SineLanes.h"
#include "source/engine/WideVectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class DoubleSineBuilds : public Taviro::Test::InnerLoopsTest
{
protected:
    static std::vector<double> sines(const std::vector<double>& x)
    {
        std::vector<double> out(x.size());
        DoubleSine::sines(x.data(), out.data(), static_cast<int32>(x.size()));
        return out;
    }
};

TEST_P(DoubleSineBuilds, WithinAnUlpOfTheLibraryAndTheLibrarysOwnBeyondTheRange)
{
    const std::vector<double> x = Taviro::Test::hardSineArguments();
    const std::vector<double> out = sines(x);
    for (size_t i = 0; i < x.size(); ++i)
    {
        const double library = std::sin(x[i]);
        if (!(std::abs(x[i]) <= SineLanes::kLargestArgument))
            ASSERT_TRUE(sameBits(out[i], library) || (std::isnan(library) && std::isnan(out[i])))
                << "sin(" << x[i] << ") = " << out[i] << " is not the library's " << library;
        else
            ASSERT_TRUE(sameBits(out[i], library) || out[i] == std::nextafter(library, out[i]))
                << "sin(" << x[i] << ") = " << out[i] << " is more than an ulp from the library's "
                << library;
    }
}

TEST_P(DoubleSineBuilds, ValueDependsOnlyOnTheArgument)
{
    const std::vector<double> x = Taviro::Test::hardSineArguments();
    const std::vector<double> all = sines(x);
    // Against the other instruction set's build.
    wideVectors() = !GetParam() && __builtin_cpu_supports("avx2");
    const std::vector<double> other = sines(x);
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_TRUE(sameBits(all[i], other[i]) || std::isnan(all[i])) << "sin(" << x[i] << ")";
    wideVectors() = GetParam();
    // The same arguments from every starting place, in pieces of every length up to 9: the last
    // arguments of a piece fill only part of a vector.
    const size_t head = 4000;
    for (size_t length = 1; length <= 9; ++length)
        for (size_t first = 0; first < length; ++first)
        {
            std::vector<double> out(head);
            for (size_t k = first; k < head; k += length)
                DoubleSine::sines(x.data() + k, out.data() + k,
                                  static_cast<int32>(std::min(length, head - k)));
            for (size_t i = first; i < head; ++i)
                ASSERT_TRUE(sameBits(all[i], out[i]) || std::isnan(all[i]))
                    << "sin(" << x[i] << ") in pieces of " << length << " from " << first;
        }
}

INSTANTIATE_TEST_SUITE_P(InnerLoops, DoubleSineBuilds, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Avx2" : "Sse2";
                         });

} // namespace
