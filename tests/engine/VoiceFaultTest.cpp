#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace Taviro::Test {
namespace {

// A low-pass chord whose filter frequency and resonance are swept to the ends of their range in
// blocks of 5 ms and more: each smoothed value stays within 0..1, lands exactly on its target at
// the end of the block, and every voice keeps sounding.
TEST(VoiceFaults, SmoothedValuesLandOnTheirTargetsAndNeverPassThem)
{
    for (int32 block : {221, 256, 300, 441, 512, 1000})
        for (double from : {0.59, 0.3, 0.77, 0.13, 0.53})
        {
            GlobalParameterState state = neutralState(1);
            state.oscillators[0][0].filterType = 1;
            state.oscillators[0][0].filterFrequency = from;
            state.oscillators[0][0].filterQ = from / 2;
            EngineHarness<float> h(state);
            h.render(block, Events().on(0, 60, 0).on(0, 64, 0).on(0, 67, 0));
            const std::pair<double, double> targets[] = {
                {0.0, 0.0}, {1.0, from / 3}, {from, 1.0}, {0.0, 0.0}};
            for (auto [frequency, resonance] : targets)
            {
                h.state.oscillators[0][0].filterFrequency = frequency;
                h.state.oscillators[0][0].filterQ = resonance;
                h.state.mainVolume[0] = 0.5 + frequency / 2; // the voice gain moves too
                h.state.panorama[0] = 1.0 - frequency / 2;
                h.state.modWheel[0] = resonance;
                h.render(block);
                for (int32 v = 0; v < 3; ++v)
                {
                    const Voice<float>& voice = h.voice(v);
                    ASSERT_EQ(voice.oscillators[0].filterFrequency.value, frequency) << block << ' ' << from;
                    ASSERT_EQ(voice.oscillators[0].filterResonance.value, resonance) << block << ' ' << from;
                    ASSERT_EQ(voice.voiceGain.value, voice.voiceGain.target);
                    ASSERT_EQ(voice.leftPanGain.value, (0.5 - (1.0 - frequency / 2)) * 2 + 1);
                    ASSERT_EQ(voice.modWheel.value, resonance);
                }
            }
            h.render(block); // held at 0: the next blocks must find nothing left to smooth
            h.render(block);
            // The three voices still add their sines through the 80 Hz low-pass.
            const std::vector<float>& right = h.out(0, 1); // the left side is panned out
            double energy = 0.0;
            for (size_t k = right.size() - static_cast<size_t>(block); k < right.size(); ++k)
                energy += right[k] * right[k];
            EXPECT_GT(energy, 1e-6) << block << ' ' << from;
            EXPECT_EQ(h.pool->activeVoices, 3);
        }
}

// A note held for more than a day (2^32 samples at 44.1 kHz is 27 hours) keeps its pitch and its
// loop position: a sine and a looped recording continue across the count 2^32.
TEST(VoiceFaults, SampleCounterPassesTwoToTheThirtyTwo)
{
    GlobalParameterState state = neutralState(6);
    state.oscillators[0][0].type = 1;
    state.oscillators[1][0].multiSample = 1;
    EngineHarness<double> h(state);
    std::vector<int16> codes;
    for (int32 j = 0; j < 64; ++j)
        codes.push_back(static_cast<int16>(100 * j - 3000));
    h.record(0, codes, 1, 44100, 60, 16, 40); // played at key 60: one frame per sample
    h.render(512, Events().on(0, 69, 0).on(1, 60, 0));
    const uint64 start = (uint64(1) << 32) - 100;
    h.voice(0).sampleCounter = start;
    h.voice(1).sampleCounter = start;
    h.render(256);

    const double gain = expectedGain(1.5f), step = 440.0 * 6.283185307179586 / 44100.0;
    for (int32 k = 0; k < 256; ++k)
    {
        const uint64 n = start + static_cast<uint64>(k);
        EXPECT_NEAR(h.out(0)[512 + k], std::sin(static_cast<double>(n) * step) * gain, 1e-6) << k;
        const int32 code = codes[n >= 40 ? 16 + (n - 16) % 24 : n];
        EXPECT_NEAR(h.out(1)[512 + k], (code > 0 ? code / 32767.0 : code / 32768.0) * gain, 1e-9) << k;
    }
}

// A voice whose output stops being a number ends on its own; the other voices of its channel play
// on exactly as if it had never sounded. A panorama far out of range plays as the nearest end.
template <typename T>
void oneBrokenVoiceOfAChord()
{
    GlobalParameterState state = neutralState(4);
    state.oscillators[0][0].filterType = 1;
    state.oscillators[0][0].filterFrequency = 0.6;
    state.panorama[0] = state.panorama[1] = std::numeric_limits<double>::infinity();
    EngineHarness<T> h(state), reference(state);
    h.render(300, Events().on(0, 60, 0).on(0, 64, 0).on(0, 67, 0));
    reference.render(300, Events().on(0, 60, 0).on(0, 64, 0).on(0, 67, 0));
    const double nan = std::nan("");
    h.voice(1).oscillators[0].leftFilter.setCoefficients({nan, 0.0, 0.0, 0.0, 0.0});
    reference.voice(1).reset(); // the same chord without its second voice
    --reference.pool->activeVoices;
    reference.render(1);
    h.render(1);
    for (int32 b = 0; b < 4; ++b)
    {
        h.render(256);
        reference.render(256);
    }
    EXPECT_EQ(h.pool->activeVoices, 2);
    EXPECT_EQ(h.out(0, 1), reference.out(0, 1));
    EXPECT_EQ(h.voice(0).leftPanGain.value, 0.0);
    EXPECT_EQ(h.voice(0).rightPanGain.value, 1.0);
}

TEST(VoiceFaults, ANonFiniteVoiceEndsAloneInBothSampleTypes)
{
    oneBrokenVoiceOfAChord<float>();
    oneBrokenVoiceOfAChord<double>();
}

} // namespace
} // namespace Taviro::Test
