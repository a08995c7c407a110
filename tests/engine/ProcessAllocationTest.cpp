#include "EngineHarness.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

namespace Taviro::Test {
namespace {

// Forty blocks of note-ons, note-offs, note expressions and parameter changes on every channel,
// with every kind of oscillator and filter, in both sample types side by side.
TEST(ProcessAllocation, NoHeapAllocationInsideProcessAndBothSampleTypesAgree)
{
    counting = true; // the counter itself works
    void* volatile probe = ::operator new(16);
    counting = false;
    ::operator delete(probe);
    ASSERT_EQ(allocations.load(), 1);

    GlobalParameterState state = neutralState(1);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        OscillatorSettings* o = state.oscillators[ch];
        o[0] = {1, 0.7, 0.01, 0.2, 0.5, 0.1, 0.2, 0.0, 0.0, 8, 0.4, 0.3, 1, 0};   // Sinus, low-pass
        o[1] = {int8(2 + ch % 4), 0.5, 0, 0, 1, 0, 0.2, 0.3, 0, 7, 0.6, 0, 3, 0}; // band-pass
        o[2] = {6, 1, 0, 0, 1, 0, 0.2, 0, 0.001, 8, 0.5, 0.5, 2, 2};              // Multi Sample, high-pass
        state.receiveNoteOff[ch] = int8(ch % 2);
    }
    EngineHarness<float> f(state, 48000.0f);
    EngineHarness<double> d(state, 48000.0f);
    f.record(1, std::vector<int16>(30000, 500), 2, 44100, 60);
    d.record(1, std::vector<int16>(30000, 500), 2, 44100, 60);
    allocations = 0;
    for (int32 b = 0; b < 40; ++b)
    {
        Events events; // built before counting starts
        for (int32 n = 0; n < 24; ++n)
        {
            const auto ch = int16((b + n) % 16);
            events.on(ch, int16(30 + (b * 7 + n * 5) % 70), (n * 21) % 512, 0.8f, b * 100 + n);
            events.off(int16((b - 1 + n) % 16), 0, (n * 13) % 512, (b - 1) * 100 + n);
            events.expression(100000 + ch, b * 100 + n, 0.3).expression(100016 + ch, b * 100 + n, 0.2);
        }
        for (GlobalParameterState* s : {&f.state, &d.state})
            for (int32 ch = 0; ch < kNumChannels; ++ch)
            {
                s->oscillators[ch][0].filterFrequency = 0.2 + 0.02 * b;
                s->oscillators[ch][1].filterQ = 0.01 * b;
                s->oscillators[ch][2].detune = b % 2 ? 0.5 : -0.5;
                s->modWheel[ch] = 0.025 * b;
                s->pitchBend[ch] = b % 3 ? 1.0 : 0.97;
            }
        counting = true;
        f.render(512, events);
        d.render(512, events);
        counting = false;
    }
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(f.pool->activeVoices, 128); // the pool was full, and note-ons were dropped
    // Compared where OSC 2 is a triangle: squares and saws jump where their phases round apart.
    for (int32 bus = 0; bus < kNumChannels; bus += 4)
        for (int32 side : {0, 1})
            for (size_t i = 0; i < f.out(bus).size(); ++i)
                ASSERT_NEAR(f.out(bus, side)[i], d.out(bus, side)[i], 2e-4) << bus << " " << i;
}

} // namespace
} // namespace Taviro::Test
