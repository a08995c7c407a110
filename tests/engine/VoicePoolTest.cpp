#include "EngineHarness.h"
#include "source/engine/WhiteNoise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <numeric>
#include <xmmintrin.h>

namespace Taviro::Test {
namespace {

TEST(VoicePool, SineAt440HzAndTremolo)
{
    GlobalParameterState state = neutralState(1);
    state.oscillators[3][0].volume = 0.8;
    state.panorama[3] = 0.75;         // left 0.5, right 1.0
    state.oscillators[0][0].type = 3; // square: the level can be read off
    state.modWheel[0] = 1.0;
    EngineHarness<float> h(state);
    for (int32 b = 0; b < 41; ++b)
        h.render(512, b == 0 ? &Events().on(3, 69, 0, 0.75f).on(0, 60, 0) : nullptr);
    const double step = 440.0 * 2.0 * std::numbers::pi / 44100.0; // key 69 is 440 Hz
    for (int32 k = 0; k < 400; ++k) // within single-precision rounding
    {
        const double level = k < 219 ? (k + 1.0) / 220.0 : 1.0; // attack of 220 steps
        const double right = static_cast<float>(std::sin(k * step) * 0.8) * expectedGain(1.125f) * level;
        ASSERT_NEAR(h.out(3, 0)[k], right * 0.5, std::abs(right) * 2e-7 + 1e-12) << k;
        ASSERT_NEAR(h.out(3, 1)[k], right, std::abs(right) * 2e-7 + 1e-12) << k;
    }
    // The wheel glides to 1 over the first block; then the level swings between 1 and 0.5 at 2.5 Hz.
    for (int32 k = 512; k < 41 * 512; ++k)
    {
        const float u = (static_cast<float>(std::sin((k + 1.0) * 5.0 * std::numbers::pi / 44100.0)) + 1) / 2;
        ASSERT_NEAR(std::abs(h.out(0)[k]) / expectedGain(1.5f), 1.0f - u * 0.5f, 1e-6) << k;
    }
}

// Square waves: every sample is +-(gain x level), so the envelope level can be read off.
TEST(VoicePool, EnvelopesAndVoicesFollowTheEventOffsetsAt44100And48000)
{
    for (float rate : {44100.0f, 48000.0f})
    {
        const int32 length = rate == 44100.0f ? 220 : 240; // attack and release of 5 ms
        EngineHarness<float> h(neutralState(3), rate);
        for (int32 b = 0; b < 4; ++b) // note-off at sample 300
            h.render(128, b == 0 ? &Events().on(0, 60, 10).on(1, 62, 5)
                                 : (b == 2 ? &Events().off(0, 60, 44) : nullptr));
        EXPECT_EQ(h.pool->activeVoices, 2);
        h.render(128);
        EXPECT_EQ(h.pool->activeVoices, 1); // the release ended at sample 300 + length - 1
        const std::pair<int32, double> levels[] = {
            {9, 0.0},   {10, 1.0 / length}, {10 + length - 2, 1.0 - 1.0 / length}, {299, 1.0},
            {300, 1.0 - 1.0 / length}, {300 + length - 2, 1.0 / length}, {300 + length - 1, 0.0}};
        for (auto [k, level] : levels)
            EXPECT_NEAR(std::abs(h.out(0)[k]), expectedGain(1.5f) * level, 1e-6) << rate << ' ' << k;
    }
}

TEST(VoicePool, OneHundredTwentyEightVoicesAndNoStealing)
{
    EngineHarness<float> h(neutralState(1));
    Events events;
    for (int32 n = 0; n < 133; ++n) // the last five on channel 15
        events.on(static_cast<int16>(n < 128 ? n % 15 : 15), static_cast<int16>(20 + n % 90), n % 7);
    h.render(256, events);
    h.render(256);
    EXPECT_EQ(h.pool->activeVoices, 128);
    EXPECT_EQ(h.out(15), std::vector<float>(512));
}

TEST(VoicePool, NoteOffMatchesIdChannelAndTheLowestVoice)
{
    EngineHarness<float> h(neutralState(3));
    Events events;
    events.on(2, 60, 0, 1.0f, 77).on(2, 64, 0, 1.0f, 77).on(2, 67, 0);
    events.off(5, 0, 0, 77); // another channel: nothing
    events.off(2, 0, 0, 77); // only the lower voice of the two with that ID
    events.off(2, 67, 0);    // no note ID: matched by pitch
    h.render(16, events);
    EXPECT_GE(h.voice(0).noteOffSampleOffset, 0);
    EXPECT_LT(h.voice(1).noteOffSampleOffset, 0);
    EXPECT_GE(h.voice(2).noteOffSampleOffset, 0);
    EXPECT_EQ(h.voice(2).noteId, 67);
}

TEST(VoicePool, DetuneOctaveAndPitchBendWithoutAPhaseJump)
{
    GlobalParameterState state = neutralState(1);
    state.oscillators[1][0].detune = 1.0;
    state.oscillators[2][0].octave = 7;
    state.oscillators[3][0].octave = 0;
    EngineHarness<double> h(state);
    Events events;
    events.on(0, 69, 0).on(1, 69, 0).on(2, 69, 0).on(3, 45, 0);
    h.render(1000, events);
    const double step = 440.0 * 6.283185307179586 / 44100.0;
    EXPECT_NEAR(h.voice(1).oscillators[0].radianIncrement, step * std::pow(2.0, 1.0 / 6.0), 1e-12);
    EXPECT_NEAR(h.voice(2).oscillators[0].radianIncrement, step * 2.0, 1e-12);
    EXPECT_NEAR(h.voice(3).oscillators[0].radianIncrement, step / 4.0 * 256.0, 1e-9); // key 45 is 110 Hz

    // A full bend up from sample 1000: the phase goes on from where the old frequency left it.
    h.state.pitchBend[0] = 0.943874800054369;
    h.render(10);
    const double bent = step / 0.943874800054369;
    for (int32 k = 1000; k < 1010; ++k)
        EXPECT_NEAR(h.out(0)[k], std::sin(1000 * step + (k - 1000) * bent) * expectedGain(1.5f), 1e-9) << k;
}

TEST(VoicePool, PanAndVolumeNoteExpressions)
{
    EngineHarness<float> h(neutralState(3));
    h.state.panorama[0] = 0.25;        // left 1.0, right 0.5
    h.state.mainVolume[0] = 1.0 / 3.0; // volume amount 0.5: gain K
    const double k = expectedGain(0.5f);
    const double raised = std::pow(10.0, 0.6) * k; // amount 1.0: 12 dB more
    h.render(512, Events().on(0, 60, 0, 1.0f, 7));
    h.render(512, Events().expression(100000, 7, 0.75).expression(100016, 7, 0.5)); // left 0.5; amount + 0.5
    h.render(512);
    EXPECT_NEAR(std::abs(h.out(0, 0)[400]), k, 1e-7);
    EXPECT_NEAR(std::abs(h.out(0, 1)[400]), k * 0.5, 1e-7);
    EXPECT_NEAR(std::abs(h.out(0, 0)[1100]), raised * 0.5, 1e-6);
    EXPECT_NEAR(std::abs(h.out(0, 1)[1100]), raised, 1e-6);
}

// Set 4 holds a stereo recording at half the host rate looped over frames 16..39, set 0 a mono
// line (codes 8 j + 800).
TEST(VoicePool, SamplePlaybackLoopsInterpolatesAndRebases)
{
    GlobalParameterState state = neutralState(6);
    state.oscillators[0][0].multiSample = state.oscillators[1][0].multiSample = 5;
    state.oscillators[2][0].multiSample = 1;
    EngineHarness<double> h(state);
    std::vector<int16> codes, line;
    for (int32 j = 0; j < 2200; ++j)
    {
        codes.push_back(static_cast<int16>((j * j * 53) % 20000 - 10000));
        line.push_back(static_cast<int16>(8 * j + 800));
    }
    h.record(4, codes, 2, 22050, 60, 16, 40);
    h.record(0, line, 1, 44100, 60);
    h.render(1024, Events().on(0, 60, 0).on(1, 63, 0).on(2, 60, 0));
    h.state.oscillators[2][0].detune = 1.0; // rate 2^(1/6) from the next block on
    h.render(1024);

    // The oscillator value: output divided by the gain and the attack level.
    auto value = [&](int32 bus, int32 side, int32 k) {
        return h.out(bus, side)[k] / expectedGain(1.5f) / (k < 219 ? (k + 1.0) / 220.0 : 1.0);
    };
    // Frames at or past the loop end wrap into the loop; the frame before frame 0 is index 2^64 - 1.
    auto frame = [&](int64 j, int32 side) {
        const auto index = static_cast<uint64>(j);
        const int32 code = (side ? -1 : 1) * codes[index >= 40 ? 16 + (index - 16) % 24 : index];
        return code > 0 ? code / 32767.0 : code * 3.0517578125e-05;
    };
    for (int32 k = 0; k < 2048; ++k) // key 63 on a root of 60: fractional positions
    {
        const double pos = k / 2.0 * (static_cast<double>(noteFrequencyTable[63]) / noteFrequencyTable[60]);
        const auto i = static_cast<int64>(pos);
        const double t = pos - static_cast<double>(i);
        for (int32 side = 0; side < 2; ++side)
        {
            const double expected = (1.5 * t * t * t - 2.5 * t * t + 1) * frame(i, side) +
                                    (t * t - 0.5 * t * t * t - 0.5 * t) * frame(i - 1, side) +
                                    (2 * t * t - 1.5 * t * t * t + 0.5 * t) * frame(i + 1, side) +
                                    (0.5 * t * t * t - 0.5 * t * t) * frame(i + 2, side);
            ASSERT_NEAR(value(1, side, k), expected, 1e-9) << k;
        }
        ASSERT_NEAR(value(0, 0, k % 1024 * 2), frame(k % 1024, 0), 1e-9) << k; // key 60 on its root
        // The cubic reproduces a line, so the value shows the position: no jump where the rate changes.
        const double position = k < 1024 ? k : 1024 + (k - 1024) * std::pow(2.0, 2.0 / 12.0);
        ASSERT_NEAR(value(2, 0, k), (8 * position + 800) / 32767, 1e-9) << k;
        ASSERT_EQ(h.out(2, 0)[k], h.out(2, 1)[k]); // mono: both sides alike
    }
}

// Events that note the floating-point mode in which `process` reads them.
struct ModeProbe : Events
{
    int32 PLUGIN_API getEventCount() override
    {
        modeInside = _mm_getcsr();
        return Events::getEventCount();
    }
    unsigned modeInside = 0;
};

TEST(Robustness, UnplayableNotesAndMissingBuffersAreSkippedAndDenormalsFlushed)
{
    EngineHarness<float> h(neutralState(3));
    ModeProbe events;
    events.on(16, 60, 0).on(-1, 60, 0).on(0, 128, 0).on(0, -1, 0).on(15, 127, 0);
    const unsigned before = _mm_getcsr();
    _mm_setcsr(before & ~0x8040u); // flush-to-zero and denormals-are-zero off
    h.render(64, events);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(before);
    EXPECT_EQ(h.pool->activeVoices, 1);
    EXPECT_EQ(h.voice(0).channel, 15);
    EXPECT_EQ(events.modeInside & 0x8040u, 0x8040u);
    EXPECT_EQ(after & 0x8040u, 0u); // the host's mode restored

    // Three buses: the first without buffers, the second with one channel, the third without its
    // right channel. Buffers the pool has no part in keep the harness's garbage.
    EngineHarness<float> reference(neutralState(3));
    reference.render(64);
    reference.render(256, Events().on(1, 60, 3).on(5, 64, 0));
    h.data.numOutputs = 3;
    h.buses[0].channelBuffers32 = nullptr;
    h.buses[1].numChannels = 1;
    h.pointers[5] = nullptr;
    h.render(256, Events().on(1, 60, 3).on(5, 64, 0));
    EXPECT_EQ(h.pool->activeVoices, 3); // the note of the missing bus plays on
    EXPECT_EQ(h.out(1), reference.out(1));
    EXPECT_EQ(h.out(2).back(), 0.0f);
    for (int32 c : {0, 1, 3, 5, 10, 11})
        EXPECT_EQ(h.recorded[c].back(), 1234.0f) << c;
}

// List values outside their lists (type, filter type, octave, multi-sample choice) play as the
// nearest list value; numbers that are not numbers or far out of range never reach the outputs.
TEST(Robustness, OutOfRangeStateValues)
{
    auto play = [](int8 type, int8 filter, int8 octave, int8 choice) {
        GlobalParameterState state = neutralState(1);
        for (OscillatorSettings& osc : state.oscillators[0])
            osc = {type, 1, 0, 0, 1, 0, 0, 0.1, 0, octave, 0.3, 0, filter, choice};
        state.oscillators[0][0].type = 1; // a Sinus always sounds
        auto h = std::make_unique<EngineHarness<float>>(state);
        h->record(6, std::vector<int16>(20000, 1000), 2, 44100, 60);
        h->render(2048, Events().on(0, 62, 0));
        return h->out(0);
    };
    EXPECT_EQ(play(7, 9, 40, 12), play(6, 3, 16, 7));
    EXPECT_EQ(play(6, -2, -5, -4), play(6, 0, 0, 0));
    EXPECT_EQ(play(-3, 3, 8, 7), play(0, 3, 8, 7));

    const double bad[] = {NAN, INFINITY, -INFINITY, 1e300, -7.0};
    GlobalParameterState state = neutralState(1);
    Events events;
    for (int16 ch = 0; ch < 10; ++ch) // each value on two channels; the second has a volume, so it sounds
    {
        const double v = bad[ch / 2];
        state.masterVolume[ch] = ch % 2 ? 0.5 : v;
        state.mainVolume[ch] = ch % 2 ? 1.0 : v;
        state.panorama[ch] = state.modWheel[ch] = state.pitchBend[ch] = v;
        for (int32 o = 0; o < kNumOscillators; ++o)
            state.oscillators[ch][o] = {int8(1 + 2 * o), v, v, v, v, v, v, v, v, 8, v, v, int8(1 + o), 0};
        events.on(ch, 60, 0).on(ch, 72, 10, NAN);
        events.expression(100000 + ch, 60, v).expression(100016 + ch, 60, v);
    }
    EngineHarness<float> h(state);
    h.render(1024, events);
    for (const auto& side : h.recorded)
        for (float v : side)
            ASSERT_TRUE(std::isfinite(v));
}

TEST(Robustness, WhiteNoiseDrawsUniformIntegersFromAGeneratorOfItsOwn)
{
    WhiteNoise noise;
    std::vector<int32> counts(32768);
    for (int32 i = 0; i < 1 << 20; ++i)
        ++counts.at(static_cast<size_t>(noise.next())); // throws outside 0..32767
    EXPECT_TRUE(counts.front() > 0 && counts.back() > 0);
    for (auto part = counts.begin(); part != counts.end(); part += 4096) // eight ranges, drawn alike
        EXPECT_NEAR(std::accumulate(part, part + 4096, 0), 1 << 17, (1 << 17) / 50);

    // The voices draw from such a generator, not from the shared, locking std::rand.
    std::srand(7);
    const int expected = std::rand();
    std::srand(7);
    EngineHarness<double> h(neutralState(5));
    h.render(2048, Events().on(0, 60, 0));
    EXPECT_EQ(std::rand(), expected);
}

} // namespace
} // namespace Taviro::Test
