#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Taviro::Test {
namespace {

template <typename T>
class VoicePool : public ::testing::Test
{
};
using SampleTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(VoicePool, SampleTypes);

// Tolerance of one rounding in the sample type, relative to the value.
template <typename T>
double tolerance(double value)
{
    return std::abs(value) * (std::is_same_v<T, float> ? 2e-7 : 1e-14) + 1e-12;
}

TYPED_TEST(VoicePool, SineAtKey69Is440HzAndStartsAtTheAttackLevel)
{
    using T = TypeParam;
    EngineHarness<T> h;
    h.state.oscillators[3][0].volume = 0.8;
    h.state.panorama[3] = 0.75; // left 0.5, right 1.0
    EventList events;
    events.noteOn(3, 69, 0, 0.75f);
    h.render(512, &events);
    for (int32 b = 1; b < 90; ++b)
        h.render(512);

    const double sampleRate = 44100.0;
    const int32 attack = static_cast<int32>(0.005 * sampleRate);
    const double gain = expectedGain(0.5, 0.75, 1.0);
    const double radiansPerSample = 440.0 * 2.0 * 3.141592653589793 / sampleRate;
    for (int32 k = 0; k < 400; ++k)
    {
        const T sine = static_cast<T>(std::sin(k * radiansPerSample));
        const T scaled = static_cast<T>(static_cast<double>(sine) * 0.8);
        const double level = k < attack - 1 ? (k + 1.0) / attack : 1.0;
        const double left = static_cast<double>(scaled) * 0.5 * gain * level;
        const double right = static_cast<double>(scaled) * 1.0 * gain * level;
        ASSERT_NEAR(h.out(3, 0)[k], left, tolerance<T>(left)) << k;
        ASSERT_NEAR(h.out(3, 1)[k], right, tolerance<T>(right)) << k;
    }

    // One second of the sustained tone crosses zero 880 times.
    int32 crossings = 0;
    const auto& out = h.out(3, 1);
    for (size_t i = 1000; i < 1000 + 44100; ++i)
        crossings += (out[i - 1] < 0) != (out[i] < 0);
    EXPECT_NEAR(crossings, 880, 1);

    for (int32 bus = 0; bus < kNumChannels; ++bus)
    {
        if (bus == 3)
            continue;
        for (T v : h.out(bus, 0))
            ASSERT_EQ(v, T(0)) << "bus " << bus;
    }
}

class NoteTiming : public ::testing::TestWithParam<float>
{
};

// Square wave: every output sample is +-(gain x level), so the level can be read off directly.
TEST_P(NoteTiming, StartAndReleaseAtEventOffsetsAndVoiceEnds)
{
    const float rate = GetParam();
    EngineHarness<float> h(neutralState(3), rate);
    const int32 attack = static_cast<int32>(0.005 * rate);
    const int32 release = static_cast<int32>(0.005 * rate);
    const double gain = expectedGain(0.5, 1.0, 1.0);

    EventList events;
    events.noteOn(0, 60, 10).noteOff(0, 60, 300);
    h.render(1024, &events);
    EXPECT_EQ(h.pool->activeVoices, 0);

    const auto& out = h.out(0);
    for (int32 i = 0; i < 10; ++i)
        ASSERT_EQ(out[i], 0.0f);
    EXPECT_NEAR(std::abs(out[10]), gain / attack, 1e-6);
    EXPECT_NEAR(std::abs(out[299]), gain, 1e-6);
    EXPECT_NEAR(std::abs(out[300]), gain * (1.0 - 1.0 / release), 1e-6);
    const int32 last = 300 + release - 2; // the release counter reaches L one step later: the voice ends
    EXPECT_NEAR(std::abs(out[last]), gain * (1.0 - (release - 1.0) / release), 1e-6);
    EXPECT_EQ(out[last + 1], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(At44100And48000, NoteTiming, ::testing::Values(44100.0f, 48000.0f));

TEST(VoicePoolCount, VoiceCountFollowsStartedAndEndedNotesAcrossBlocks)
{
    EngineHarness<float> h(neutralState(3));
    EventList on;
    on.noteOn(0, 60, 0).noteOn(1, 62, 5);
    h.render(64, &on);
    EXPECT_EQ(h.pool->activeVoices, 2);
    EventList off;
    off.noteOff(0, 60, 63);
    h.render(64, &off);
    // Release of 220 samples from sample 127: the voice ends in the step of sample 127 + 219 = 346.
    for (int32 block = 2; block <= 4; ++block)
    {
        h.render(64);
        EXPECT_EQ(h.pool->activeVoices, 2) << block;
    }
    h.render(64);
    EXPECT_EQ(h.pool->activeVoices, 1);
    EXPECT_EQ(h.voice(0).noteId, -1);
    EXPECT_EQ(h.voice(1).noteId, 62);
}

TEST(VoicePoolCount, NoteOffMatchesIdChannelAndTheLowestVoice)
{
    EngineHarness<float> h(neutralState(3));
    EventList events;
    events.noteOn(2, 60, 0, 1.0f, 77).noteOn(2, 64, 0, 1.0f, 77).noteOn(2, 67, 0);
    events.noteOff(5, 0, 0, 77); // other channel: nothing
    events.noteOff(2, 0, 0, 77); // only the lower voice
    events.noteOff(2, 67, 0);    // no note ID: matched by pitch
    h.render(16, &events);
    EXPECT_GE(h.voice(0).noteOffSampleOffset, 0);
    EXPECT_LT(h.voice(1).noteOffSampleOffset, 0);
    EXPECT_GE(h.voice(2).noteOffSampleOffset, 0);
    EXPECT_EQ(h.voice(2).noteId, 67);
}

TEST(VoicePoolCount, NoteWithAllOscillatorsOffEndsInItsFirstBlock)
{
    EngineHarness<float> h(neutralState(0));
    EventList events;
    events.noteOn(0, 60, 0);
    h.render(64, &events);
    EXPECT_EQ(h.pool->activeVoices, 0);
    for (float v : h.out(0))
        ASSERT_EQ(v, 0.0f);
}

TEST(VoicePoolCount, OneHundredTwentyEightVoicesAndNoStealing)
{
    auto play = [](int32 extraNotes) {
        auto h = std::make_unique<EngineHarness<float>>(neutralState(1));
        EventList events;
        for (int32 n = 0; n < 128 + extraNotes; ++n)
            events.noteOn(static_cast<int16>(n % 16), static_cast<int16>(20 + n % 90), n % 7);
        h->render(256, &events);
        h->render(256);
        return h;
    };
    auto exact = play(0);
    auto crowded = play(5);
    EXPECT_EQ(exact->pool->activeVoices, 128);
    EXPECT_EQ(crowded->pool->activeVoices, 128);
    for (int32 bus = 0; bus < kNumChannels; ++bus)
        ASSERT_EQ(exact->out(bus), crowded->out(bus)) << bus;
    EXPECT_EQ(crowded->pool->findFreeVoice(), nullptr);
}

TEST(NoteExpression, PanReplacesTheChannelPanoramaUntilCentredAgain)
{
    EngineHarness<float> h(neutralState(3));
    h.state.panorama[0] = 0.25; // channel: left 1.0, right 0.5
    EventList on;
    on.noteOn(0, 60, 0, 1.0f, 7);
    h.render(512, &on);
    EventList pan;
    pan.expression(100000, 7, 0.75); // left 0.5, right 1.0
    h.render(512, &pan);
    h.render(512);
    EXPECT_NEAR(std::abs(h.out(0, 0)[1100]) / std::abs(h.out(0, 1)[1100]), 0.5, 1e-6);

    EventList centre;
    centre.expression(100000, 7, 0.5);
    h.render(512, &centre);
    h.render(512);
    EXPECT_NEAR(std::abs(h.out(0, 1)[2100]) / std::abs(h.out(0, 0)[2100]), 0.5, 1e-6);

    // Smoothing: within the block after a change the gain moves by equal steps, not at once.
    const double first = std::abs(h.out(0, 1)[1536]);
    const double second = std::abs(h.out(0, 1)[1537]);
    EXPECT_NEAR(first, expectedGain(0.5, 1.0, 1.0), 1e-6);
    EXPECT_NEAR(first - second, (1.0 - 0.5) / 512 * expectedGain(0.5, 1.0, 1.0), 1e-6);
}

TEST(NoteExpression, VolumeIsAddedToTheVolumeAmount)
{
    GlobalParameterState state = neutralState(3);
    state.masterVolume[1] = 0.5;
    state.mainVolume[1] = 1.0 / 3.0; // amount 0.5: gain K
    EngineHarness<float> h(state);
    EventList on;
    on.noteOn(1, 60, 0, 1.0f, 9);
    h.render(512, &on);
    EventList volume;
    volume.expression(100017, 9, 0.5); // amount 1.0: 12 dB more
    h.render(512, &volume);
    h.render(512);
    const double base = expectedGain(0.5, 1.0, 1.0 / 3.0);
    EXPECT_NEAR(std::abs(h.out(1)[400]), base, 1e-7);
    EXPECT_NEAR(std::abs(h.out(1)[1200]), expectedGain(0.5, 1.0, 1.0 / 3.0, 0.5), 1e-6);
    EXPECT_NEAR(expectedGain(0.5, 1.0, 1.0 / 3.0, 0.5) / base, std::pow(10.0, 0.6), 1e-5);
}

TEST(NoteExpression, IgnoredAfterTheNoteOffTookEffectOrWithoutNoteId)
{
    EngineHarness<float> h(neutralState(3));
    h.state.oscillators[0][0].releaseTime = 0.2;
    EventList on;
    on.noteOn(0, 60, 0, 1.0f, 5);
    h.render(512, &on);
    EventList off;
    off.noteOff(0, 60, 0, 5).expression(100000, -1, 1.0);
    h.render(64, &off);
    EventList pan;
    pan.expression(100000, 5, 1.0);
    h.render(64, &pan);
    EXPECT_EQ(h.voice(0).noteExpressionValues[1], 1.0);
    EXPECT_EQ(h.voice(0).noteExpressionValues[2], 1.0);
}

TEST(Tremolo, FullModWheelSwingsBetweenHalfAndFullLevelAt2_5Hz)
{
    EngineHarness<float> h(neutralState(3));
    h.state.modWheel[0] = 1.0;
    EventList on;
    on.noteOn(0, 60, 0);
    h.render(512, &on); // the wheel value glides from 0 to 1 in this block
    for (int32 b = 0; b < 40; ++b)
        h.render(512);
    const double gain = expectedGain(0.5, 1.0, 1.0);
    double lowest = 1e9, highest = 0;
    for (int32 k = 512; k < 41 * 512; ++k)
    {
        const float s = static_cast<float>(std::sin((k + 1.0) * 15.707963267948966 / 44100.0));
        const float u = (s + 1.0f) * 0.5f;
        const double tremolo = 1.0f - u * 0.5f;
        const double level = std::abs(h.out(0)[k]);
        ASSERT_NEAR(level, gain * tremolo, 1e-6) << k;
        lowest = std::min(lowest, level / gain);
        highest = std::max(highest, level / gain);
    }
    EXPECT_NEAR(lowest, 0.5, 1e-4);
    EXPECT_NEAR(highest, 1.0, 1e-4);
}

TEST(FilterSmoothing, FrequencyGlidesToItsTargetWithinABlock)
{
    GlobalParameterState state = neutralState(1);
    state.oscillators[0][0].filterType = 1;
    EngineHarness<float> h(state);
    EventList on;
    on.noteOn(0, 60, 0);
    h.render(512, &on);
    EXPECT_EQ(h.voice(0).oscillators[0].filterFrequency, 1.0);
    h.state.oscillators[0][0].filterFrequency = 0.5;
    h.render(128); // shorter than 5 ms: the block covers 128 / 220.5 of the way
    EXPECT_NEAR(h.voice(0).oscillators[0].filterFrequency, 1.0 - 0.5 * 128 / 220.5, 1e-12);
    h.render(512);
    EXPECT_NEAR(h.voice(0).oscillators[0].filterFrequency, 0.5, 1e-6);
    // The type is fixed at note-on.
    h.state.oscillators[0][0].filterType = 2;
    h.render(64);
    EXPECT_EQ(h.voice(0).oscillators[0].leftFilter.getType(), 0);
}

TYPED_TEST(VoicePool, FloatAndDoubleAgree)
{
    auto program = [] {
        GlobalParameterState s = neutralState(1);
        OscillatorSettings* o = s.oscillators[4];
        o[0].filterType = 1;
        o[0].filterFrequency = 0.4;
        o[0].filterQ = 0.3;
        o[1] = plainOscillator(4);
        o[1].volume = 0.5;
        o[1].detune = 0.3;
        o[1].filterType = 3;
        o[1].filterFrequency = 0.6;
        o[2] = plainOscillator(2);
        o[2].octave = 7;
        o[2].attackTime = 0.01;
        s.modWheel[4] = 0.7;
        s.panorama[4] = 0.6;
        return s;
    };
    EngineHarness<float> f(program());
    EngineHarness<double> d(program());
    for (int32 block = 0; block < 12; ++block)
    {
        EventList events;
        if (block == 0)
            events.noteOn(4, 57, 3, 0.9f).noteOn(4, 64, 100, 0.6f);
        if (block == 9)
            events.noteOff(4, 57, 10);
        for (auto* s : {&f.state, &d.state})
        {
            s->oscillators[4][0].filterFrequency = 0.3 + 0.05 * block;
            s->pitchBend[4] = block % 3 == 0 ? 1.0 : 0.97;
        }
        f.render(300, &events);
        d.render(300, &events);
    }
    double peak = 0.0;
    for (size_t i = 0; i < f.out(4).size(); ++i)
    {
        ASSERT_NEAR(f.out(4, 0)[i], d.out(4, 0)[i], 2e-4) << i;
        ASSERT_NEAR(f.out(4, 1)[i], d.out(4, 1)[i], 2e-4) << i;
        peak = std::max(peak, std::abs(d.out(4, 0)[i]));
    }
    EXPECT_GT(peak, 0.1);
}

TEST(Pitch, BendChangesFrequencyWithoutAPhaseJump)
{
    EngineHarness<double> h(neutralState(1));
    EventList on;
    on.noteOn(0, 69, 0);
    h.render(1000, &on);
    h.state.pitchBend[0] = 0.943874800054369; // full bend up
    h.render(1000);
    const double oldStep = 440.0 * 2 * 3.141592653589793 / 44100.0;
    const double newStep = oldStep / 0.943874800054369;
    const double gain = expectedGain(0.5, 1.0, 1.0);
    // The phase at sample 1000 is where the old frequency left it; from there it advances faster.
    for (int32 k = 1000; k < 1010; ++k)
    {
        const double expected = std::sin(1000 * oldStep + (k - 1000) * newStep) * gain;
        EXPECT_NEAR(h.out(0)[k], expected, 1e-9) << k;
    }
}

TEST(Pitch, DetuneAndOctave)
{
    GlobalParameterState state = neutralState(1);
    state.oscillators[0][0].detune = 1.0;
    state.oscillators[1][0].octave = 7;
    state.oscillators[2][0].octave = 0;
    EngineHarness<double> h(state);
    EventList on;
    on.noteOn(0, 69, 0).noteOn(1, 69, 0).noteOn(2, 45, 0);
    h.render(64, &on);
    const double base = 440.0 * 6.283185307179586 / 44100.0;
    EXPECT_NEAR(h.voice(0).oscillators[0].radianIncrement, base * std::pow(2.0, 1.0 / 6.0), 1e-12);
    EXPECT_NEAR(h.voice(1).oscillators[0].radianIncrement, base * 2.0, 1e-12);
    EXPECT_NEAR(h.voice(2).oscillators[0].radianIncrement, base / 4.0 * 256.0, 1e-9); // key 45 is 110 Hz
}

} // namespace
} // namespace Taviro::Test
