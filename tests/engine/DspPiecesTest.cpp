#include "source/common/LogScale.h"
#include "source/engine/BiquadFilter.h"
#include "source/engine/SampleConversionWide.h"
#include "source/engine/SampleCounters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;

// Audio EQ Cookbook, band-width form: low-pass, high-pass, band-pass.
BiquadCoefficients cookbook(int type, double f, double bw, double rate)
{
    const double w0 = 2 * std::numbers::pi * f / rate, s = std::sin(w0), c = std::cos(w0), d = (1 - c) / 2;
    const double alpha = s * std::sinh(std::numbers::ln2 / 2 * bw * w0 / s), a0 = 1 + alpha, u = (1 + c) / 2;
    const double b[3][3] = {{d, 1 - c, d}, {u, -(1 + c), u}, {s / 2, 0, -s / 2}};
    return {b[type][0] / a0, b[type][1] / a0, b[type][2] / a0, -2 * c / a0, (1 - alpha) / a0};
}

TEST(BiquadFilter, StableAtEveryHostSampleRate)
{
    // Poles inside the unit circle: |a2| < 1 and |a1| < 1 + a2. 36 kHz puts 18 kHz exactly on Nyquist.
    for (double rate : {8000.0, 11025.0, 22050.0, 32000.0, 36000.0, 44100.0, 192000.0, 384000.0})
        for (int32 type : {0, 1, 2})
            for (double cutoff : {18000.0, rate / 2.0})
            {
                const BiquadCoefficients c = BiquadFilter::compute(type, cutoff, 1.0, rate, 1.0 / rate);
                EXPECT_TRUE(std::abs(c.a2) < 1.0 && std::abs(c.a1) < 1.0 + c.a2) << rate << " " << type;
            }
}

// Values outside 0..1 count as the nearest end and not-a-number as 0, both ways (the law itself:
// the engine's differential test and the controller's texts).
TEST(LogScale, FilterFrequencyLawAndInputsOutsideItsRange)
{
    using Steinberg::Vst::filterFrequencyScale;
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    EXPECT_NEAR(filterFrequencyScale.scale(0.5), 1800.0, 1e-3);
    for (double v : {-1e-15, -0.3, -inf, nan})
        EXPECT_EQ(filterFrequencyScale.scale(v), 80.0) << v;
    for (double v : {1.0 + 1e-15, 7.0, inf})
        EXPECT_EQ(filterFrequencyScale.scale(v), 18000.0) << v;
    for (double hz : {79.0, -5.0, -inf, nan})
        EXPECT_EQ(filterFrequencyScale.invscale(hz), 0.0) << hz;
    for (double hz : {18000.5, 1e9, inf})
        EXPECT_EQ(filterFrequencyScale.invscale(hz), 1.0) << hz;
}

TEST(BiquadFilter, KeepsItsLastFiniteCoefficients)
{
    const double nan = std::nan("");
    for (int32 type : {0, 1, 2})
    {
        BiquadFilter filter;
        filter.setType(type);
        filter.setCutoff(1000.0, 0.5);
        const BiquadCoefficients e = cookbook(type, 1000.0, 0.5, 44100.0);
        for (auto [cutoff, bandwidth] : {std::pair{nan, 0.5}, {1000.0, nan}, {nan, nan}, {500.0, -1e300}})
        {
            filter.setCutoff(cutoff, bandwidth);
            const BiquadCoefficients& c = filter.getCoefficients();
            EXPECT_NEAR(c.b0, e.b0, 1e-7) << type << ' ' << cutoff << ' ' << bandwidth;
            EXPECT_NEAR(c.a1, e.a1, 1e-7) << type << ' ' << cutoff << ' ' << bandwidth;
            EXPECT_TRUE(std::isfinite(filter.process(1.0)));
        }
    }
}

// The AVX2 conversion multiplies where the step-by-step one divides: every 16-bit code must still
// give the single-precision quotient exactly, read one after another or as the left codes of
// stereo frames whose right codes differ, the last few too, and nothing written beyond them.
template <int32 step>
void expectEverySixteenBitCodeExact()
{
    std::vector<uint8> bytes;
    for (int32 code = 0; code < 65536 + 5; ++code)
        for (int32 side = 0; side < step; ++side)
        {
            const int32 stored = side == 0 ? code : code ^ 0x8001;
            bytes.push_back(static_cast<uint8>(stored & 0xff));
            bytes.push_back(static_cast<uint8>((stored >> 8) & 0xff));
        }
    std::vector<double> out(65536 + 6, -7.0);
    convert16BitToFloatWide<step>(bytes.data(), 65536 + 5, out.data());
    for (int32 code = 0; code < 65536 + 5; ++code)
    {
        const int32 v = code % 65536 < 32768 ? code % 65536 : code % 65536 - 65536;
        const float expected = v > 0 ? static_cast<float>(v) / 32767.0f : static_cast<float>(v) / 32768.0f;
        ASSERT_EQ(out[code], static_cast<double>(expected)) << "code " << code << ", step " << step;
    }
    EXPECT_EQ(out[65536 + 5], -7.0);
}

TEST(SampleFormat, EverySixteenBitCodeConvertsExactlyEightAtATime)
{
    if (!__builtin_cpu_supports("avx2"))
        GTEST_SKIP() << "this processor has no AVX2";
    expectEverySixteenBitCodeExact<1>();
    expectEverySixteenBitCodeExact<2>();
}

// Counters become doubles as a cast of each would make them, on both sides of 2^53, where
// counters stop converting exactly, and across 2^32.
TEST(SampleCounters, EachCounterIsItsOwnCast)
{
    constexpr uint64 kExactBelow = uint64(1) << 53;
    for (const uint64 first : {uint64(0), (uint64(1) << 32) - 3, kExactBelow - 130, kExactBelow - 128,
                               kExactBelow - 3, kExactBelow + 1, ~uint64(0) - 128})
    {
        double out[128];
        countersAsDoubles(first, 128, out);
        for (int32 k = 0; k < 128; ++k)
            ASSERT_EQ(out[k], static_cast<double>(first + static_cast<uint64>(k))) << first << " + " << k;
    }
}

} // namespace
