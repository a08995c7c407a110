#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace Taviro::Test {
namespace {

// A stereo ramp: frame j holds code 8 j on the left and -8 j on the right.
std::vector<int16> rampCodes(int32 frames)
{
    std::vector<int16> codes;
    for (int32 j = 0; j < frames; ++j)
        codes.push_back(static_cast<int16>(8 * j));
    return codes;
}

GlobalParameterState samplePlayerState(int8 multiSample)
{
    GlobalParameterState state = neutralState(6);
    state.oscillators[0][0].multiSample = multiSample;
    return state;
}

// Output divided by gain and envelope level: the oscillator value itself.
template <typename T>
double oscillatorValue(const EngineHarness<T>& h, int32 k, int32 side)
{
    const double level = k < 219 ? (k + 1.0) / 220.0 : 1.0;
    return static_cast<double>(h.out(0, side)[k]) / expectedGain(0.5, 1.0, 1.0) / level;
}

TEST(SamplePlayback, LoopWrapsToLoopStartAtLoopEnd)
{
    EngineHarness<float> h(samplePlayerState(5));
    std::vector<uint8> storage;
    auto sample = recording16(storage, rampCodes(400), 2, 44100);
    sample->hasLoop = true;
    sample->loopStart = 100;
    sample->loopEnd = 300;
    fillBank(h.bank, 4, std::move(sample), 60);

    EventList on;
    on.noteOn(0, 60, 0);
    h.render(1024, &on);
    // Root key, recorded at the host rate: one frame per sample, integer positions.
    for (int32 k = 0; k < 1024; ++k)
    {
        const int32 frame = k < 300 ? k : 100 + (k - 100) % 200;
        // Positive codes are divided by 32767, negative ones scaled by 1 / 32768.
        const double left = static_cast<double>(static_cast<float>(8 * frame) / 32767.0f);
        const double right = static_cast<double>(static_cast<float>(-8 * frame) * 3.0517578125e-05f);
        ASSERT_NEAR(oscillatorValue(h, k, 0), left, 1e-6 * (1.0 + left)) << k;
        ASSERT_NEAR(oscillatorValue(h, k, 1), right, 1e-6 * (1.0 - right)) << k;
    }
    EXPECT_EQ(h.pool->activeVoices, 1); // a looping recording never finishes
}

TEST(SamplePlayback, FractionalPositionsInterpolateAcrossTheLoop)
{
    EngineHarness<double> h(samplePlayerState(5));
    std::vector<uint8> storage;
    std::vector<int16> codes;
    for (int32 j = 0; j < 64; ++j)
        codes.push_back(static_cast<int16>((j * j * 53) % 20000 - 10000));
    auto sample = recording16(storage, codes, 1, 22050);
    sample->hasLoop = true;
    sample->loopStart = 16;
    sample->loopEnd = 40;
    fillBank(h.bank, 4, std::move(sample), 60);

    EventList on;
    on.noteOn(0, 63, 0);
    h.render(2048, &on);
    // Worked out here: position k x rate / (44100 / 22050), frames wrapped into the loop (the frame
    // before frame 0 is index 2^64 - 1, which wraps too), then the four-point cubic.
    const double rate = static_cast<double>(noteFrequencyTable[63]) / static_cast<double>(noteFrequencyTable[60]);
    auto frame = [&](int64 j) -> double {
        const uint64 index = static_cast<uint64>(j);
        if (index >= 40)
            j = static_cast<int64>(16 + (index - 16) % 24);
        const int32 v = codes[static_cast<size_t>(j)];
        return v > 0 ? v / 32767.0 : v * 3.0517578125e-05;
    };
    for (int32 k = 1; k < 2048; ++k)
    {
        const double pos = k / 2.0 * rate;
        const int64 i = static_cast<int64>(pos);
        const double t = pos - i;
        const double y0 = frame(i), ym1 = frame(i - 1), y1 = frame(i + 1), y2 = frame(i + 2);
        const double expected = (1.5 * t * t * t - 2.5 * t * t + 1) * y0 + (t * t - 0.5 * t * t * t - 0.5 * t) * ym1 +
                                (2 * t * t - 1.5 * t * t * t + 0.5 * t) * y1 + (0.5 * t * t * t - 0.5 * t * t) * y2;
        ASSERT_NEAR(oscillatorValue(h, k, 0), expected, 1e-9) << k;
    }
}

TEST(SamplePlayback, RecordingRateAndMonoAndFinishedRecording)
{
    // A 96 kHz mono recording under a 48 kHz host advances two frames per sample, both sides equal.
    GlobalParameterState state = samplePlayerState(3);
    state.oscillators[0][0].releaseTime = 0.0;
    EngineHarness<double> h(state, 48000.0f);
    std::vector<uint8> storage;
    fillBank(h.bank, 2, recording16(storage, rampCodes(1000), 1, 96000), 36);

    EventList on;
    on.noteOn(0, 36, 0); // a drum key at its root
    h.render(512, &on);
    const double gain = expectedGain(0.5, 1.0, 1.0);
    for (int32 k = 240; k < 490; ++k)
    {
        EXPECT_NEAR(h.out(0, 0)[k] / gain, 8.0 * (2 * k) / 32767.0, 1e-12) << k;
        EXPECT_EQ(h.out(0, 0)[k], h.out(0, 1)[k]);
    }
    // Frame 1000 is past the end at k = 500: the voice ends there without a note-off.
    EXPECT_EQ(h.pool->activeVoices, 0);
    EXPECT_NE(h.out(0, 0)[499], 0.0);
    EXPECT_EQ(h.out(0, 0)[500], 0.0);

    // A key outside the drum list plays nothing.
    EventList other;
    other.noteOn(0, 37, 0);
    h.render(64, &other);
    EXPECT_EQ(h.pool->activeVoices, 0);
}

TEST(SamplePlayback, RateChangeRebasesWithoutAJump)
{
    GlobalParameterState state = samplePlayerState(1);
    EngineHarness<double> h(state);
    std::vector<uint8> storage;
    fillBank(h.bank, 0, recording16(storage, rampCodes(4000), 2, 44100), 60);

    EventList on;
    on.noteOn(0, 60, 0);
    h.render(512, &on);
    h.state.oscillators[0][0].detune = 1.0; // rate 2^(1/6) from the next block on
    h.render(512);
    const double rate = std::pow(2.0, 2.0 / 12.0);
    EXPECT_NEAR(oscillatorValue(h, 511, 0), 8.0 * 511 / 32767.0, 1e-12);
    for (int32 i = 0; i < 512; ++i)
    {
        // A ramp is a straight line, which the cubic reproduces: the value is the position.
        const double position = 512.0 + i * rate;
        ASSERT_NEAR(oscillatorValue(h, 512 + i, 0), 8.0 * position / 32767.0, 1e-9) << i;
    }
}

TEST(SamplePlayback, RetardDelaysTheRecordingStart)
{
    GlobalParameterState state = samplePlayerState(1);
    state.oscillators[0][0].retardTime = 0.001; // R = 220 samples
    EngineHarness<double> h(state);
    std::vector<uint8> storage;
    std::vector<int16> codes(600, 1000);
    fillBank(h.bank, 0, recording16(storage, codes, 1, 44100), 60);
    EventList on;
    on.noteOn(0, 60, 0);
    h.render(512, &on);
    // The envelope opens one step before n reaches R; the recording starts at n = R with frame 0.
    for (int32 k = 0; k < 220; ++k)
        ASSERT_EQ(h.out(0)[k], 0.0) << k;
    EXPECT_NEAR(h.out(0)[220], 1000.0 / 32767.0 * 2.0 / 220.0 * expectedGain(0.5, 1.0, 1.0), 1e-12);
}

} // namespace
} // namespace Taviro::Test
