#include "source/common/LogScale.h"
#include "source/engine/BiquadFilter.h"
#include "source/engine/CatmullRom.h"
#include "source/engine/Envelope.h"
#include "source/engine/GainCurve.h"
#include "source/engine/PanLaw.h"
#include "source/engine/SampleFormat.h"
#include "source/engine/SampleFrames.h"
#include "source/engine/WhiteNoise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst::TaviroPlugIn;

TEST(GainCurve, ConstantsAndCurvePoints)
{
    EXPECT_FLOAT_EQ(kGainK, 0.17761719f);
    EXPECT_FLOAT_EQ(kGainK2, 2.8150427f);

    // 0.5 is the meeting point of both branches, 1.0 lies 12 dB above it, 0.25 24 dB below it.
    EXPECT_DOUBLE_EQ(gainCurve(0.5f), static_cast<double>(0.17761719f));
    EXPECT_NEAR(gainCurve(1.0f), std::pow(10.0, 0.6) * 0.17761719, 1e-7);
    EXPECT_NEAR(gainCurve(0.25f), 0.17761719 / 15.85, 0.17761719 / 15.85 * 1e-3);
    EXPECT_NEAR(gainCurve(0.4999999f), gainCurve(0.5f), 1e-6);
    // The lower branch is formed in single precision.
    EXPECT_EQ(gainCurve(0.3f), static_cast<double>(std::pow(0.3f, 3.9863138f) * 2.8150427f));
    EXPECT_EQ(gainCurve(0.0f), 0.0);
}

TEST(GainCurve, AmountsWithoutRealGainAreSilent)
{
    EXPECT_EQ(gainCurve(-0.2f), 0.0);
    EXPECT_EQ(gainCurve(std::numeric_limits<float>::quiet_NaN()), 0.0);
    EXPECT_EQ(gainCurve(1e30f), 0.0);
}

TEST(PanLaw, CentreKeepsBothSidesAndSidesFallLinearly)
{
    EXPECT_EQ(panGains(0.5).left, 1.0);
    EXPECT_EQ(panGains(0.5).right, 1.0);
    EXPECT_EQ(panGains(0.75).left, 0.5);
    EXPECT_EQ(panGains(0.75).right, 1.0);
    EXPECT_EQ(panGains(0.25).left, 1.0);
    EXPECT_EQ(panGains(0.25).right, 0.5);
    EXPECT_EQ(panGains(1.0).left, 0.0);
    EXPECT_EQ(panGains(0.0).right, 0.0);
}

TEST(Envelope, LengthsInSamplesAt44100And48000)
{
    for (double rate : {44100.0, 48000.0})
    {
        Envelope e;
        e.start(0.5, 0.0, 0.2, 0.3, 0.1, 0.12, rate);
        EXPECT_EQ(e.retardLength, static_cast<int32>(0.5 * 5.0 * rate));
        EXPECT_EQ(e.attackLength, static_cast<int32>(0.005 * rate));
        EXPECT_EQ(e.decayLength, static_cast<int32>(1.0 * rate));
        EXPECT_EQ(e.sustainTimeLength, static_cast<int32>(0.5 * rate));
        EXPECT_EQ(e.releaseLength, static_cast<int32>((0.6 + 0.005) * rate));
    }
    Envelope e;
    e.start(0, 0, 0, 1, 0, 0.12, 44100.0);
    EXPECT_EQ(e.attackLength, 220);
    EXPECT_EQ(e.releaseLength, 26680);
    e.start(0, 0, 0, 1, 0, 0.12, 48000.0);
    EXPECT_EQ(e.attackLength, 240);
    EXPECT_EQ(e.releaseLength, 29040);
}

TEST(Envelope, RetardAttackDecayAndSustainTime)
{
    Envelope e;
    e.start(0.0, 0.0, 0.001, 0.25, 0.0, 0.0, 44100.0); // R 0, A 220, D 220, T 0, L 220
    double level = 0.0;
    EXPECT_FALSE(e.level(level)); // nothing before the first step
    for (int32 step = 1; step < 220; ++step)
    {
        e.advance(false);
        ASSERT_TRUE(e.level(level));
        EXPECT_DOUBLE_EQ(level, step / 220.0);
    }
    // The attack completes in step 220 and the decay takes its first step in the same step.
    e.advance(false);
    ASSERT_TRUE(e.level(level));
    EXPECT_DOUBLE_EQ(level, (1.0 - 1.0 / 220.0) * 0.75 + 0.25);
    for (int32 step = 2; step <= 220; ++step)
        e.advance(false);
    EXPECT_TRUE(e.decayDone);
    e.level(level);
    EXPECT_EQ(level, 0.25);
    EXPECT_FALSE(e.releasing); // held without counting the sustain time

    // Counting the sustain time with T = 0 releases at once.
    e.advance(true);
    EXPECT_TRUE(e.releasing);
    e.advanceRelease();
    e.level(level);
    EXPECT_DOUBLE_EQ(level, 0.25 * (1.0 - 1.0 / 220.0));
    for (int32 step = 2; step <= 220; ++step)
        e.advanceRelease();
    EXPECT_TRUE(e.releaseComplete());
    e.level(level);
    EXPECT_EQ(level, 0.0);
}

TEST(Envelope, RetardKeepsSilentThenAttackStarts)
{
    Envelope e;
    e.start(0.001, 0.0, 0.0, 1.0, 0.0, 0.0, 44100.0); // R = 220
    double level;
    for (int32 step = 1; step < 220; ++step)
    {
        e.advance(false);
        EXPECT_FALSE(e.level(level));
    }
    e.advance(false);
    ASSERT_TRUE(e.level(level));
    EXPECT_DOUBLE_EQ(level, 1.0 / 220.0);
}

// Audio EQ Cookbook, band-width form, worked out here for comparison.
struct Cookbook
{
    double b0, b1, b2, a1, a2;
};
Cookbook cookbook(int type, double f, double bw, double rate)
{
    const double w0 = 2.0 * std::numbers::pi * f / rate;
    const double alpha = std::sin(w0) * std::sinh(std::numbers::ln2 / 2.0 * bw * w0 / std::sin(w0));
    const double c = std::cos(w0);
    double b0 = (1 - c) / 2, b1 = 1 - c, b2 = (1 - c) / 2;
    if (type == 1)
        b0 = (1 + c) / 2, b1 = -(1 + c), b2 = (1 + c) / 2;
    if (type == 2)
        b0 = std::sin(w0) / 2, b1 = 0, b2 = -std::sin(w0) / 2;
    const double a0 = 1 + alpha;
    return {b0 / a0, b1 / a0, b2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

TEST(BiquadFilter, CookbookCoefficientsRoundedToSinglePrecision)
{
    for (int32 type : {0, 1, 2})
        for (double f : {80.0, 1000.0, 18000.0})
            for (double bw : {1.0, 0.5, 0.01})
            {
                const BiquadCoefficients c = BiquadFilter::compute(type, f, bw, 44100.0, 1.0 / 44100.0);
                const Cookbook e = cookbook(type, f, bw, 44100.0);
                for (auto [got, want] : {std::pair{c.b0, e.b0}, {c.b1, e.b1}, {c.b2, e.b2}, {c.a1, e.a1}, {c.a2, e.a2}})
                {
                    EXPECT_EQ(got, static_cast<double>(static_cast<float>(got))) << "not single precision";
                    EXPECT_NEAR(got, want, 1e-7 + std::abs(want) * 1e-7) << type << " " << f << " " << bw;
                }
            }
    // Cutoffs below 80 Hz are raised to 80 Hz; resonance 1 (bandwidth 0) puts the poles on the circle.
    const BiquadCoefficients low = BiquadFilter::compute(0, 10.0, 1.0, 44100.0, 1.0 / 44100.0);
    const BiquadCoefficients at80 = BiquadFilter::compute(0, 80.0, 1.0, 44100.0, 1.0 / 44100.0);
    EXPECT_EQ(low.b0, at80.b0);
    EXPECT_EQ(BiquadFilter::compute(2, 1000.0, 0.0, 44100.0, 1.0 / 44100.0).a2, 1.0);
}

TEST(BiquadFilter, PassThroughAfterResetAndDirectFormOne)
{
    BiquadFilter filter;
    filter.setSampleRate(48000.0);
    filter.reset();
    EXPECT_EQ(filter.process(0.25), 0.25);
    EXPECT_EQ(filter.process(-0.5), -0.5);

    filter.reset();
    filter.setType(BiquadFilter::kLowpass);
    filter.setCutoff(1000.0, 1.0);
    const BiquadCoefficients c = filter.getCoefficients();
    const double y0 = filter.process(1.0);
    const double y1 = filter.process(0.0);
    const double y2 = filter.process(0.0);
    EXPECT_DOUBLE_EQ(y0, c.b0);
    EXPECT_DOUBLE_EQ(y1, c.b1 - c.a1 * y0);
    EXPECT_DOUBLE_EQ(y2, c.b2 - c.a1 * y1 - c.a2 * y0);
}

// Feeds a full-scale square wave for two seconds and returns the largest output magnitude.
double peakResponse(BiquadFilter& filter, double rate)
{
    double peak = 0.0;
    for (int32 i = 0; i < static_cast<int32>(2 * rate); ++i)
    {
        const double y = filter.process((i / 7) % 2 ? 1.0 : -1.0);
        if (!std::isfinite(y))
            return y;
        peak = std::max(peak, std::abs(y));
    }
    return peak;
}

TEST(BiquadFilter, StableAtEveryHostSampleRate)
{
    // 36 kHz puts the top of the cutoff range exactly on Nyquist.
    for (double rate : {8000.0, 11025.0, 22050.0, 32000.0, 36000.0, 44100.0, 192000.0, 384000.0})
        for (int32 type : {0, 1, 2})
            for (double cutoff : {18000.0, rate / 2.0})
            {
                BiquadFilter filter;
                filter.setSampleRate(rate);
                filter.setType(type);
                filter.setCutoff(cutoff, 1.0);
                const double peak = peakResponse(filter, rate);
                EXPECT_TRUE(std::isfinite(peak)) << rate;
                EXPECT_LT(peak, 4.0) << rate << " type " << type;
            }
    // Where 18 kHz lies below 0.49 of the rate nothing is held.
    const BiquadCoefficients at441 = BiquadFilter::compute(0, 18000.0, 1.0, 44100.0, 1.0 / 44100.0);
    const Cookbook plain = cookbook(0, 18000.0, 1.0, 44100.0);
    EXPECT_NEAR(at441.b0, plain.b0, 1e-7);
    // At 8 kHz a cutoff at or past Nyquist is held just below it.
    const BiquadCoefficients held = BiquadFilter::compute(0, 18000.0, 1.0, 8000.0, 1.0 / 8000.0);
    const BiquadCoefficients at3920 = BiquadFilter::compute(0, 3920.0, 1.0, 8000.0, 1.0 / 8000.0);
    EXPECT_EQ(held.b0, at3920.b0);
    EXPECT_EQ(held.a1, at3920.a1);
}

TEST(FilterFrequencyLaw, EndsAndMiddle)
{
    const double exponent = std::log(1720.0 / 17920.0) / std::log(0.5);
    EXPECT_NEAR(Steinberg::Vst::filterFrequencyScale.scale(0.0), 80.0, 1e-9);
    EXPECT_NEAR(Steinberg::Vst::filterFrequencyScale.scale(0.5), 1800.0, 1e-3);
    EXPECT_NEAR(Steinberg::Vst::filterFrequencyScale.scale(1.0), 18000.0, 1e-9);
    EXPECT_EQ(Steinberg::Vst::filterFrequencyScale.scale(0.3),
              static_cast<double>(std::pow(0.3f, static_cast<float>(exponent))) * 17920.0 + 80.0);
}

TEST(CatmullRom, PassesThroughPointsAndFollowsTheCubic)
{
    EXPECT_EQ(catmullRom(0.0, 5.0, 1.0, 2.0, 7.0), 1.0);
    EXPECT_EQ(catmullRom(1.0, 5.0, 1.0, 2.0, 7.0), 2.0);
    EXPECT_DOUBLE_EQ(catmullRom(0.5, 0.0, 0.0, 1.0, 1.0), 0.5);
    EXPECT_DOUBLE_EQ(catmullRom(0.3, -1.0, 0.0, 1.0, 2.0), 0.3); // straight lines stay straight
    // 0.5 * (2 y0 + (-ym1 + y1) t + (2 ym1 - 5 y0 + 4 y1 - y2) t^2 + (-ym1 + 3 y0 - 3 y1 + y2) t^3)
    const double t = 0.25, ym1 = 1.0, y0 = 2.0, y1 = 4.0, y2 = 8.0;
    const double expected = 0.5 * (2 * y0 + (-ym1 + y1) * t + (2 * ym1 - 5 * y0 + 4 * y1 - y2) * t * t +
                                   (-ym1 + 3 * y0 - 3 * y1 + y2) * t * t * t);
    EXPECT_DOUBLE_EQ(catmullRom(t, ym1, y0, y1, y2), expected);
}

template <typename T>
void expectFormatExtremes()
{
    const uint8 u8max[] = {255}, u8min[] = {0}, u8zero[] = {128}, u8one[] = {129}, u8minus[] = {127};
    EXPECT_EQ((convertSample<T, kSample8Bit>(u8max)), T(1));
    EXPECT_EQ((convertSample<T, kSample8Bit>(u8min)), T(-1));
    EXPECT_EQ((convertSample<T, kSample8Bit>(u8zero)), T(0));
    EXPECT_EQ((convertSample<T, kSample8Bit>(u8one)), T(1) / T(127));
    EXPECT_EQ((convertSample<T, kSample8Bit>(u8minus)), T(-0.0078125));

    const uint8 s16max[] = {0xff, 0x7f}, s16min[] = {0x00, 0x80}, s16minus[] = {0xff, 0xff};
    EXPECT_EQ((convertSample<T, kSample16Bit>(s16max)), T(1));
    EXPECT_EQ((convertSample<T, kSample16Bit>(s16min)), T(-1));
    EXPECT_EQ((convertSample<T, kSample16Bit>(s16minus)), T(-1.0 / 32768.0));

    const uint8 s24max[] = {0xff, 0xff, 0x7f}, s24min[] = {0x00, 0x00, 0x80}, s24one[] = {0x01, 0x00, 0x00};
    EXPECT_EQ((convertSample<T, kSample24Bit>(s24max)), T(1));
    EXPECT_EQ((convertSample<T, kSample24Bit>(s24min)), T(-1));
    EXPECT_EQ((convertSample<T, kSample24Bit>(s24one)), T(1) / T(8388607));

    const uint8 s32max[] = {0xff, 0xff, 0xff, 0x7f}, s32min[] = {0x00, 0x00, 0x00, 0x80};
    const uint8 s32zero[] = {0, 0, 0, 0}, s32minus[] = {0xff, 0xff, 0xff, 0xff};
    EXPECT_EQ((convertSample<T, kSample32Bit>(s32max)), T(1));
    EXPECT_EQ((convertSample<T, kSample32Bit>(s32min)), T(-1));
    EXPECT_EQ((convertSample<T, kSample32Bit>(s32zero)), T(0));
    EXPECT_EQ((convertSample<T, kSample32Bit>(s32minus)), T(-1) * T(4.656612873077393e-10));
}

TEST(SampleFormat, FourFormatsAtTheirExtremes)
{
    expectFormatExtremes<float>();
    expectFormatExtremes<double>();
    EXPECT_EQ(sampleFormatForBits(8), kSample8Bit);
    EXPECT_EQ(sampleFormatForBits(32), kSample32Bit);
    EXPECT_EQ(sampleFormatForBits(12), -1);
}

TEST(SampleFrames, LoopWrapsAtLoopEndAndGuardsBadLoops)
{
    std::vector<uint8> data(40, 0); // 20 mono 16-bit frames
    WaveSample sample;
    sample.bytesPerSample = 2;
    sample.bitsPerSample = 16;
    sample.sampleRate = 44100;
    sample.channels = 1;
    sample.dataSize = 40;
    sample.data = data.data();
    sample.hasLoop = true;
    sample.loopStart = 4;
    sample.loopEnd = 10;

    SampleFrames frames;
    ASSERT_TRUE(frames.assign(sample));
    EXPECT_EQ(frames.frameCount, 20u);
    EXPECT_EQ(frames.wrap(9), 9u);
    EXPECT_EQ(frames.wrap(10), 4u);
    EXPECT_EQ(frames.wrap(15), 9u);
    EXPECT_EQ(frames.wrap(16), 4u);
    const uint64 beforeZero = std::numeric_limits<uint64>::max();
    EXPECT_EQ(frames.wrap(beforeZero), 4u + (beforeZero - 4u) % 6u);
    for (uint64 j = 10; j < 40; ++j)
    {
        EXPECT_EQ(frames.loopNext(frames.wrap(j)), frames.wrap(j + 1));
        EXPECT_EQ(frames.loopPrevious(frames.wrap(j)), frames.wrap(j - 1));
    }

    // A loop reaching past the data or ending before it starts is not played as a loop.
    sample.loopEnd = 21;
    ASSERT_TRUE(frames.assign(sample));
    EXPECT_FALSE(frames.hasLoop);
    sample.loopEnd = 4;
    ASSERT_TRUE(frames.assign(sample));
    EXPECT_FALSE(frames.hasLoop);
    // Geometry the player cannot read is refused.
    sample.bytesPerSample = 3;
    EXPECT_FALSE(frames.assign(sample));
}

TEST(WhiteNoise, IntegersUniformIn0To32767)
{
    WhiteNoise noise;
    int32 bins[8] = {};
    int32 lowest = 32767, highest = 0;
    const int32 draws = 1 << 20;
    for (int32 i = 0; i < draws; ++i)
    {
        const int32 r = noise.next();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
        ++bins[r / 4096];
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
    for (int32 count : bins)
        EXPECT_NEAR(count, draws / 8, draws / 8 / 50);
}

} // namespace
