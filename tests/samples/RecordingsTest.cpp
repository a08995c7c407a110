// The generated recordings themselves: formats, loops, levels, pitch and spectrum.
#include "BundleResources.h"
#include "PitchMeasurement.h"
#include "source/samples/SampleBank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

using namespace Steinberg::Vst::TaviroPlugIn;
using namespace Taviro::Test;

namespace {

constexpr size_t kDrumSet = 2;
constexpr size_t kFirstWaveform = 3, kLastWaveform = 5;

bool isWaveform(size_t set)
{
    return set >= kFirstWaveform && set <= kLastWaveform;
}

double equalTemperedFrequency(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

double cents(double frequency, double reference)
{
    return 1200.0 * std::log2(frequency / reference);
}

double dbfs(double level)
{
    return 20.0 * std::log10(level);
}

size_t frameCount(const WaveSample& sample)
{
    return static_cast<size_t>(sample.dataSize / sample.channels / sample.bytesPerSample);
}

// One channel, or its first maxFrames frames, as values in -1..1 (full scale of the signed
// integer format).
std::vector<double> channelValues(const WaveSample& sample, int channel, size_t maxFrames = SIZE_MAX)
{
    const size_t frames = std::min(frameCount(sample), maxFrames);
    const double fullScale = std::ldexp(1.0, sample.bitsPerSample - 1);
    std::vector<double> values(frames);
    for (size_t frame = 0; frame < frames; ++frame)
    {
        const uint8_t* p = sample.data + (frame * sample.channels + channel) * sample.bytesPerSample;
        int32_t value = 0;
        for (int byte = 0; byte < sample.bytesPerSample; ++byte)
            value |= static_cast<int32_t>(p[byte]) << (8 * byte);
        const int shift = 32 - sample.bitsPerSample; // sign-extend
        values[frame] =
            static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value) << shift) >> shift) /
            fullScale;
    }
    return values;
}

std::vector<double> monoValues(const WaveSample& sample, size_t maxFrames)
{
    std::vector<double> mono = channelValues(sample, 0, maxFrames);
    if (sample.channels == 2)
    {
        const std::vector<double> right = channelValues(sample, 1, maxFrames);
        for (size_t i = 0; i < mono.size(); ++i)
            mono[i] = 0.5 * (mono[i] + right[i]);
    }
    return mono;
}

double peakOf(const WaveSample& sample)
{
    double peak = 0.0;
    for (int channel = 0; channel < sample.channels; ++channel)
        for (double value : channelValues(sample, channel))
            peak = std::max(peak, std::abs(value));
    return peak;
}

// Magnitudes of the discrete Fourier transform of one whole loop at the given bins.
std::vector<double> loopSpectrum(const std::vector<double>& loop, const std::vector<size_t>& bins)
{
    const size_t n = loop.size();
    std::vector<std::complex<double>> twiddle(n);
    for (size_t i = 0; i < n; ++i)
        twiddle[i] =
            std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
    std::vector<double> magnitudes;
    for (size_t bin : bins)
    {
        std::complex<double> sum = 0.0;
        size_t phase = 0;
        for (size_t i = 0; i < n; ++i)
        {
            sum += loop[i] * twiddle[phase];
            phase = (phase + bin) % n;
        }
        magnitudes.push_back(std::abs(sum));
    }
    return magnitudes;
}

class RecordingsTest : public testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        setResourceFolder(bundleResourcesFolder());
        loadSampleBank(bank);
    }
    static void TearDownTestSuite()
    {
        releaseSampleBank(bank);
        closeResourceStore();
    }

    static SampleBank bank;
};

SampleBank RecordingsTest::bank;

TEST_F(RecordingsTest, EveryRecordingHasItsSetsFormat)
{
    ASSERT_EQ(bank.size(), 7u);
    size_t recordings = 0;
    for (size_t set = 0; set < bank.size(); ++set)
        for (const auto& sample : bank[set]->samples)
        {
            ++recordings;
            const bool drums = set == kDrumSet;
            EXPECT_EQ(sample->bitsPerSample, drums ? 24 : 16) << set;
            EXPECT_EQ(sample->channels, drums ? 1 : 2) << set;
            EXPECT_EQ(sample->sampleRate, drums ? 96000 : 44100) << set;
            EXPECT_EQ(sample->hasLoop, isWaveform(set)) << set;
            EXPECT_GT(frameCount(*sample), 0u) << set;
        }
    EXPECT_EQ(recordings, 142u);
}

TEST_F(RecordingsTest, TheBankStaysUnderSixtyMegabytes)
{
    size_t bytes = 0;
    for (int id = 101; id <= 250; ++id)
        bytes += findResource("WAVE", static_cast<uint16_t>(id)).size;
    EXPECT_LT(bytes, 60u * 1000 * 1000);
}

TEST_F(RecordingsTest, InstrumentSetsPeakNearMinusOneDbfsAndEndQuietly)
{
    for (size_t set : {0u, 1u, 2u, 6u})
    {
        double setPeak = 0.0;
        for (const auto& sample : bank[set]->samples)
            for (int channel = 0; channel < sample->channels; ++channel)
            {
                const std::vector<double> values = channelValues(*sample, channel);
                for (double value : values)
                    setPeak = std::max(setPeak, std::abs(value));
                EXPECT_LT(dbfs(std::abs(values.back()) + 1e-12), -60.0) << set;
            }
        EXPECT_NEAR(dbfs(setPeak), -1.0, 0.05) << set;
    }
}

TEST_F(RecordingsTest, InstrumentZonesSoundAtTheirRootKeys)
{
    for (size_t set : {0u, 1u, 6u})
        for (size_t zone = 0; zone < bank[set]->samples.size(); ++zone)
        {
            const WaveSample& sample = *bank[set]->samples[zone];
            const int root = bank[set]->rootKeys[zone];
            const double expected = equalTemperedFrequency(root);
            const double rate = sample.sampleRate;
            const std::vector<double> mono = monoValues(sample, static_cast<size_t>(0.6 * rate));

            // The period of the waveform after the attack rules out a wrong semitone or octave.
            const double period = rate / expected;
            const double coarse =
                measurePeriodicPitch(mono, static_cast<size_t>(0.1 * rate),
                                     std::max<size_t>(1024, static_cast<size_t>(3 * period)),
                                     static_cast<size_t>(2.2 * period), rate);
            EXPECT_NEAR(cents(coarse, expected), 0.0, 50.0) << "set " << set << " root " << root;

            // The partials over half a second give the fine figure.
            const double fine = measurePartialPitch(mono, static_cast<size_t>(0.05 * rate),
                                                    static_cast<size_t>(0.5 * rate), expected, rate);
            EXPECT_NEAR(cents(fine, expected), 0.0, 10.0) << "set " << set << " root " << root;
        }
}

TEST_F(RecordingsTest, WaveformLoopsAreWholeCyclesAtTheRootKey)
{
    for (size_t set = kFirstWaveform; set <= kLastWaveform; ++set)
        for (size_t zone = 0; zone < bank[set]->samples.size(); ++zone)
        {
            const WaveSample& sample = *bank[set]->samples[zone];
            const int root = bank[set]->rootKeys[zone];
            ASSERT_TRUE(sample.hasLoop);
            EXPECT_EQ(sample.loopStart, 0u);
            EXPECT_EQ(sample.loopEnd, frameCount(sample));
            const std::vector<double> left = channelValues(sample, 0);
            EXPECT_EQ(left, channelValues(sample, 1)) << root;
            EXPECT_NEAR(dbfs(peakOf(sample)), -3.0, 0.05) << root;

            // The loop is played end-exclusive: after its last frame comes its first. No step at
            // that seam may exceed the largest step inside the loop.
            double largestStep = 0.0;
            for (size_t i = 1; i < left.size(); ++i)
                largestStep = std::max(largestStep, std::abs(left[i] - left[i - 1]));
            EXPECT_LE(std::abs(left.front() - left.back()), largestStep) << root;

            // The loop holds `cycles` whole periods: the fundamental is the strongest bin.
            const size_t frames = left.size();
            std::vector<size_t> lowBins;
            for (size_t bin = 1; bin * 4 < frames; ++bin)
                lowBins.push_back(bin);
            const std::vector<double> low = loopSpectrum(left, lowBins);
            const size_t cycles = lowBins[std::max_element(low.begin(), low.end()) - low.begin()];
            const double pitch =
                static_cast<double>(cycles) * sample.sampleRate / static_cast<double>(frames);
            EXPECT_NEAR(cents(pitch, equalTemperedFrequency(root)), 0.0, 1.0) << root;
        }
}

TEST_F(RecordingsTest, WaveformLoopsHoldNothingAbove16kHz)
{
    for (size_t set = kFirstWaveform; set <= kLastWaveform; ++set)
        for (size_t zone = 0; zone < bank[set]->samples.size(); ++zone)
        {
            const WaveSample& sample = *bank[set]->samples[zone];
            const std::vector<double> loop = channelValues(sample, 0);
            const size_t frames = loop.size();
            const double binWidth = static_cast<double>(sample.sampleRate) / static_cast<double>(frames);
            const auto cycles = static_cast<size_t>(
                std::lround(equalTemperedFrequency(bank[set]->rootKeys[zone]) / binWidth));
            std::vector<size_t> bins{cycles};
            for (size_t bin = static_cast<size_t>(16000.0 / binWidth) + 1; bin <= frames / 2; ++bin)
                bins.push_back(bin);
            const std::vector<double> spectrum = loopSpectrum(loop, bins);
            const double highest = *std::max_element(spectrum.begin() + 1, spectrum.end());
            EXPECT_LT(dbfs(highest / spectrum[0]), -90.0)
                << "set " << set << " root " << bank[set]->rootKeys[zone];
        }
}

TEST(PitchMeasurement, FindsTheLowestKeysFromTheirOvertones)
{
    // Key 24 (32.7 Hz) with a weak fundamental and strong overtones, as a low piano string sounds.
    const double frequency = equalTemperedFrequency(24), rate = 44100.0;
    std::vector<double> signal(20000);
    for (size_t i = 0; i < signal.size(); ++i)
        for (int k = 1; k <= 12; ++k)
            signal[i] +=
                (k == 1 ? 0.05 : 1.0 / k) * std::sin(2.0 * std::numbers::pi * k * frequency * i / rate + k);
    const double period = rate / frequency;
    const double measured = measurePeriodicPitch(signal, 1000, static_cast<size_t>(3 * period),
                                                 static_cast<size_t>(2.2 * period), rate);
    EXPECT_NEAR(cents(measured, frequency), 0.0, 1.0);

    // An octave too high is reported as such, not as the expected key.
    std::vector<double> octaveUp(20000);
    for (size_t i = 0; i < octaveUp.size(); ++i)
        octaveUp[i] = std::sin(4.0 * std::numbers::pi * frequency * i / rate);
    const double high = measurePeriodicPitch(octaveUp, 1000, static_cast<size_t>(3 * period),
                                             static_cast<size_t>(2.2 * period), rate);
    EXPECT_NEAR(cents(high, frequency), 1200.0, 1.0);
}

} // namespace
