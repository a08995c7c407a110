#include "SampleTestSupport.h"
#include "source/samples/SampleBank.h"

#include <gtest/gtest.h>

#include <complex>
#include <numbers>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

// One signed little-endian value as -1..1 of full scale.
double valueAt(const WaveSample& sample, size_t frame, int channel)
{
    const uint8_t* p = sample.data + (frame * sample.channels + channel) * sample.bytesPerSample;
    uint32_t bits = 0;
    for (int byte = 0; byte < sample.bytesPerSample; ++byte)
        bits |= static_cast<uint32_t>(p[byte]) << (8 * (byte + 4 - sample.bytesPerSample));
    return static_cast<int32_t>(bits) / 2147483648.0;
}

// The loop, played end-exclusive with channels averaged, is seamless and holds whole cycles at the
// root key: every bin of its spectrum but harmonics below 16 kHz lies 90 dB below the fundamental.
void expectSeamlessBandLimitedLoop(const WaveSample& sample, double expected)
{
    std::vector<double> loop(sample.loopEnd - sample.loopStart, 0.0);
    for (size_t i = 0; i < loop.size(); ++i)
        for (int channel = 0; channel < sample.channels; ++channel)
            loop[i] += valueAt(sample, sample.loopStart + i, channel) / sample.channels;
    const size_t n = loop.size();
    double largestStep = 0.0;
    for (size_t i = 1; i < n; ++i)
        largestStep = std::max(largestStep, std::abs(loop[i] - loop[i - 1]));
    EXPECT_LE(std::abs(loop.front() - loop.back()), largestStep);
    const double binWidth = sample.sampleRate / static_cast<double>(n);
    const auto cycles = static_cast<size_t>(std::lround(expected / binWidth));
    EXPECT_NEAR(1200.0 * std::log2(cycles * binWidth / expected), 0.0, 1.0);
    std::vector<std::complex<double>> turn(n);
    for (size_t i = 0; i < n; ++i)
        turn[i] = std::polar(1.0, -2.0 * std::numbers::pi * i / n);
    const auto magnitude = [&](size_t bin)
    {
        std::complex<double> sum = 0.0;
        for (size_t i = 0; i < n; ++i)
            sum += loop[i] * turn[i * bin % n];
        return std::abs(sum);
    };
    const double fundamental = magnitude(cycles);
    for (size_t bin = 1; bin <= n / 2; ++bin)
    {
        const bool harmonic = bin % cycles == 0 && bin * binWidth <= 16000.0;
        EXPECT_TRUE(harmonic || 20.0 * std::log10(magnitude(bin) / fundamental) < -90.0) << "bin " << bin;
    }
}

TEST(Recordings, EachHasItsSetsFormatAndLoopAndSoundsAtItsRootKey)
{
    setResourceFolder(bundleResourcesFolder);
    SampleBank bank;
    loadSampleBank(bank);
    ASSERT_EQ(bank.size(), 7u);
    for (size_t set = 0; set < bank.size(); ++set)
        for (size_t zone = 0; zone < bank[set]->samples.size(); ++zone)
        {
            const WaveSample& sample = *bank[set]->samples[zone];
            const int root = bank[set]->rootKeys[zone];
            const double expected = 440.0 * std::pow(2.0, (root - 69) / 12.0);
            const bool drums = set == 2, waveform = set >= 3 && set <= 5;
            SCOPED_TRACE("set " + std::to_string(set) + ", root key " + std::to_string(root));
            EXPECT_EQ(std::tuple(sample.bitsPerSample, sample.channels, sample.sampleRate),
                      drums ? std::tuple(24, 1, 96000) : std::tuple(16, 2, 44100));
            ASSERT_EQ(sample.hasLoop, waveform);
            if (waveform)
                expectSeamlessBandLimitedLoop(sample, expected);
            if (waveform || drums)
                continue;
            // The first 0.6 s, channels averaged: the period rules out a wrong octave, partials give cents.
            std::vector<double> mono(static_cast<size_t>(0.6 * sample.sampleRate), 0.0);
            const size_t frames = sample.dataSize / sample.channels / sample.bytesPerSample;
            for (size_t frame = 0; frame < std::min(frames, mono.size()); ++frame)
                for (int channel = 0; channel < sample.channels; ++channel)
                    mono[frame] += valueAt(sample, frame, channel) / sample.channels;
            EXPECT_NEAR(periodicCents(mono, expected, sample.sampleRate), 0.0, 50.0);
            EXPECT_NEAR(partialCents(mono, expected, sample.sampleRate), 0.0, 10.0);
        }
    releaseSampleBank(bank);
    closeResourceStore();
}

} // namespace
