#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <xmmintrin.h>

namespace Taviro::Test {
namespace {

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

// A note-off with a note ID is matched by ID and channel whatever pitch it carries, and ends only
// the lowest voice with that ID; without an ID it is matched by pitch, and an unplayable pitch
// matches nothing.
TEST(VoicePool, NoteOffMatchesIdChannelAndTheLowestVoice)
{
    EngineHarness<float> h(neutralState(3));
    Events events;
    events.on(2, 60, 0, 1.0f, 77).on(2, 64, 0, 1.0f, 77).on(2, 67, 0).on(2, 61, 0, 1.0f, 78).on(2, 62, 0);
    events.on(2, 200, 0, 1.0f, 79); // takes no voice
    events.off(5, 0, 4, 77).off(2, 200, 4, 77).off(2, 67, 4).off(2, -3, 4, 78).off(2, 200, 4).off(2, -1, 4);
    h.render(64, events);
    EXPECT_EQ(h.pool->activeVoices, 5);
    for (int32 v = 0; v < 5; ++v)
        EXPECT_EQ(h.voice(v).noteOffSampleOffset >= 0, v == 0 || v == 2 || v == 3) << v;
    EXPECT_EQ(h.voice(2).noteId, 67); // without an ID, the pitch serves as one
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

} // namespace
} // namespace Taviro::Test
