#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <xmmintrin.h>

namespace Taviro::Test {
namespace {

TEST(Robustness, NoteEventsOutsideTheChannelsOrKeysAreSkipped)
{
    EngineHarness<float> h(neutralState(3));
    EventList events;
    events.noteOn(16, 60, 0).noteOn(-1, 60, 0).noteOn(0, 128, 0).noteOn(0, -1, 0);
    events.noteOff(16, 60, 0).noteOff(0, 200, 0);
    h.render(64, &events);
    EXPECT_EQ(h.pool->activeVoices, 0);
    for (int32 bus = 0; bus < kNumChannels; ++bus)
        for (float v : h.out(bus))
            ASSERT_EQ(v, 0.0f);

    EventList valid;
    valid.noteOn(15, 127, 0).noteOn(0, 0, 0);
    valid.unreadable = 0; // an unreadable event is skipped, the rest still dispatched
    h.render(64, &valid);
    EXPECT_EQ(h.pool->activeVoices, 1);
    EXPECT_EQ(h.voice(0).pitch, 0);
}

// Renders notes on channels 1 and 5 into the harness's own outputs, for comparison.
std::vector<float> reference(int32 bus, int32 side)
{
    EngineHarness<float> h(neutralState(4));
    EventList events;
    events.noteOn(1, 60, 3).noteOn(5, 64, 0);
    h.render(256, &events);
    return h.out(bus, side);
}

TEST(Robustness, FewerBusesAndMissingBuffersAreSkipped)
{
    EngineHarness<float> h(neutralState(4));
    // Three buses, held in their own allocation so that any write past them is caught.
    std::vector<AudioBusBuffers> buses(3);
    std::vector<float> left1(256, 5.0f), left2(256, 5.0f);
    float* bus1[] = {left1.data()}; // right channel missing
    float* bus2[] = {left2.data(), nullptr};
    buses[0].numChannels = 2;
    buses[0].channelBuffers32 = nullptr;
    buses[1].numChannels = 1;
    buses[1].channelBuffers32 = bus1;
    buses[2].numChannels = 2;
    buses[2].channelBuffers32 = bus2;
    h.data.outputs = buses.data();
    h.data.numOutputs = 3;
    h.data.numSamples = 256;
    EventList events;
    events.noteOn(1, 60, 3).noteOn(5, 64, 0);
    h.data.inputEvents = &events;
    h.pool->process(h.data);
    EXPECT_EQ(h.pool->activeVoices, 2); // the voice of the missing bus still plays on
    EXPECT_EQ(left1, reference(1, 0));
    EXPECT_EQ(left2, std::vector<float>(256, 0.0f));

    h.data.inputEvents = nullptr;
    h.data.outputs = nullptr;
    h.data.numOutputs = 16;
    h.pool->process(h.data);
    EXPECT_EQ(h.pool->activeVoices, 2);

    // Buffers of the other sample size are never written as if they were ours.
    std::vector<double> wide(256, 5.0);
    double* wideBus[] = {wide.data(), wide.data()};
    std::vector<AudioBusBuffers> wideBuses(16);
    for (auto& b : wideBuses)
    {
        b.numChannels = 2;
        b.channelBuffers64 = wideBus;
    }
    h.data.outputs = wideBuses.data();
    h.data.symbolicSampleSize = kSample64;
    h.pool->process(h.data);
    EXPECT_EQ(wide, std::vector<double>(256, 5.0));
}

// Plays one note with OSC 1 set up by `change` and returns the left output of a few blocks.
template <typename Change>
std::vector<float> playWith(Change change)
{
    GlobalParameterState state = neutralState(1);
    state.oscillators[0][0].detune = 0.1;
    change(state.oscillators[0][0]);
    EngineHarness<float> h(state);
    std::vector<uint8> storage;
    std::vector<int16> codes(20000);
    for (size_t j = 0; j < codes.size(); ++j)
        codes[j] = static_cast<int16>((j * 37) % 2000 - 1000);
    fillBank(h.bank, 6, recording16(storage, codes, 2, 44100), 60);
    EventList on;
    on.noteOn(0, 62, 0);
    for (int32 block = 0; block < 4; ++block)
        h.render(512, block == 0 ? &on : nullptr);
    return h.out(0);
}

TEST(Robustness, OutOfRangeListValuesCountAsTheNearestListValue)
{
    auto withType = [](int8 type) { return [type](OscillatorSettings& o) { o.type = type; o.multiSample = 7; }; };
    EXPECT_EQ(playWith(withType(7)), playWith(withType(6)));
    EXPECT_EQ(playWith(withType(-3)), playWith(withType(0)));
    EXPECT_NE(playWith(withType(6)), playWith(withType(0)));

    auto withFilter = [](int8 type) { return [type](OscillatorSettings& o) { o.filterType = type; o.filterFrequency = 0.3; }; };
    EXPECT_EQ(playWith(withFilter(9)), playWith(withFilter(3)));
    EXPECT_EQ(playWith(withFilter(-2)), playWith(withFilter(0)));

    auto withOctave = [](int8 octave) { return [octave](OscillatorSettings& o) { o.octave = octave; }; };
    EXPECT_EQ(playWith(withOctave(40)), playWith(withOctave(16)));
    EXPECT_EQ(playWith(withOctave(-5)), playWith(withOctave(0)));

    auto withSet = [](int8 set) { return [set](OscillatorSettings& o) { o.type = 6; o.multiSample = set; }; };
    EXPECT_EQ(playWith(withSet(12)), playWith(withSet(7)));
    EXPECT_EQ(playWith(withSet(-4)), playWith(withSet(0)));
}

TEST(Robustness, NonNumbersInTheStateNeverReachTheOutputs)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1e300, -7.0})
    {
        GlobalParameterState state = neutralState(1);
        for (int32 ch = 0; ch < 2; ++ch)
        {
            state.masterVolume[ch] = bad;
            state.mainVolume[ch] = bad;
            state.panorama[ch] = bad;
            state.modWheel[ch] = bad;
            state.pitchBend[ch] = bad;
            for (int32 o = 0; o < kNumOscillators; ++o)
            {
                OscillatorSettings& s = state.oscillators[ch][o];
                s.type = static_cast<int8>(1 + o * 2);
                s.volume = s.attackTime = s.decayTime = s.sustainLevel = s.sustainTime = s.releaseTime = bad;
                s.retardTime = s.detune = s.filterFrequency = s.filterQ = bad;
                s.filterType = static_cast<int8>(1 + o);
            }
        }
        state.masterVolume[1] = 0.5; // so that channel 1 actually sounds
        state.mainVolume[1] = 1.0;
        EngineHarness<float> h(state);
        EventList events;
        events.noteOn(0, 60, 0).noteOn(1, 60, 0).noteOn(1, 72, 10, std::numeric_limits<float>::quiet_NaN());
        events.expression(100016, 60, bad).expression(100001, 60, bad);
        h.render(512, &events);
        h.render(512);
        for (int32 bus = 0; bus < 2; ++bus)
            for (int32 side = 0; side < 2; ++side)
                for (float v : h.out(bus, side))
                    ASSERT_TRUE(std::isfinite(v)) << bad;
    }
}

TEST(Robustness, WhiteNoiseUsesThePoolsOwnGenerator)
{
    std::srand(7);
    const int expected = std::rand();
    std::srand(7);
    EngineHarness<double> h(neutralState(5));
    EventList on;
    on.noteOn(0, 60, 0);
    h.render(2048, &on);
    EXPECT_EQ(std::rand(), expected);

    // Values r / 32767 * 2 - 1 spread over -1..1 around 0.
    const double gain = expectedGain(0.5, 1.0, 1.0);
    double sum = 0.0, peak = 0.0;
    for (int32 k = 220; k < 2048; ++k)
    {
        sum += h.out(0)[k] / gain;
        peak = std::max(peak, std::abs(h.out(0)[k] / gain));
    }
    EXPECT_LE(peak, 1.0);
    EXPECT_GT(peak, 0.95);
    EXPECT_NEAR(sum / (2048 - 220), 0.0, 0.05);
}

// Reads the floating-point mode from inside `process`.
class ModeProbe : public EventList
{
public:
    int32 PLUGIN_API getEventCount() override
    {
        modeInside = _mm_getcsr();
        return EventList::getEventCount();
    }
    unsigned modeInside = 0;
};

TEST(Robustness, DenormalsAreFlushedWhileRenderingAndTheModeRestored)
{
    EngineHarness<float> h;
    const unsigned before = _mm_getcsr();
    _mm_setcsr(before & ~0x8040u);
    ModeProbe probe;
    h.render(64, &probe);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(before);
    EXPECT_EQ(probe.modeInside & 0x8040u, 0x8040u);
    EXPECT_EQ(after & 0x8040u, 0u);
}

} // namespace
} // namespace Taviro::Test
