#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Taviro::Test {
namespace {

// Square waves of full volume: |output| = gain x envelope level, so the level can be read off.
double level(const EngineHarness<double>& h, int32 bus, size_t k)
{
    return std::abs(h.out(bus)[k]) / expectedGain(1.5f);
}

// Attack, release and sustain time of 220 samples (5 ms at 44.1 kHz, the shortest attack and
// release; the sustain time 0.001 x 5 s truncated).
TEST(VoiceLifecycle, NoteOffTimingAndNotesThatIgnoreNoteOffs)
{
    GlobalParameterState state = neutralState(3);
    state.receiveNoteOff[1] = 0;
    state.oscillators[1][0].sustainLevel = 0.5;
    state.oscillators[1][0].sustainTime = 0.001;
    EngineHarness<double> h(state);
    Events events;
    events.on(0, 60, 7).off(0, 60, 7);   // note-off at its note-on's offset
    events.on(1, 60, 0).off(1, 60, 50);  // ignored: the sustain time ends the note
    events.on(2, 60, 0).on(2, 60, 0);    // one key twice, no note IDs, as hosts send
    events.off(2, 60, 10).off(2, 60, 20); // the second note-off must skip the released voice
    h.render(1024, events);
    EXPECT_EQ(h.pool->activeVoices, 0);

    // Released in its first sample: attack value x release value from then on, silent at 220.
    EXPECT_EQ(level(h, 0, 6), 0.0);
    for (int32 j = 0; j < 219; ++j)
        ASSERT_NEAR(level(h, 0, 7 + j), (j + 1) / 220.0 * (1.0 - (j + 1) / 220.0), 1e-7) << j;
    EXPECT_EQ(level(h, 0, 7 + 219), 0.0);

    // Attack to 1 at step 219, where the (zero) decay ends at once and the sustain time starts
    // counting; it reaches 220 at step 438, where the release takes its first step; the release
    // completes at step 657, which ends the voice.
    const std::pair<int32, double> ignoring[] = {
        {0, 1 / 220.0}, {218, 219 / 220.0}, {219, 0.5},           {437, 0.5},
        {438, 0.5 * (1 - 1 / 220.0)}, {656, 0.5 / 220.0},          {657, 0.0}};
    for (auto [k, expected] : ignoring)
        EXPECT_NEAR(level(h, 1, static_cast<size_t>(k)), expected, 1e-7) << k;

    // Two voices, each released at its own note-off: at sample 15 the first is 6 steps into its
    // release, the second not yet.
    EXPECT_NEAR(level(h, 2, 9), 2 * 10 / 220.0, 1e-7);
    EXPECT_NEAR(level(h, 2, 15), 16 / 220.0 * (1 - 6 / 220.0) + 16 / 220.0, 1e-7);
    EXPECT_EQ(level(h, 2, 1000), 0.0);
}

// Note expressions reach a voice by its note ID only, and not after its note-off has taken effect.
TEST(VoiceLifecycle, NoteExpressionsNeedAnIdAndASoundingNote)
{
    EngineHarness<double> h(neutralState(3));
    h.render(16, Events().on(0, 60, 0, 1.0f, 5).on(0, 62, 0));
    h.render(16, Events().expression(100016, -1, 0.3).expression(100016, 62, 0.4).off(0, 60, 0, 5));
    h.render(16, Events().expression(100016, 5, 0.7).expression(100000, 5, 0.0));
    EXPECT_EQ(h.voice(0).noteExpressionValues[0], 0.0);
    EXPECT_EQ(h.voice(0).noteExpressionValues[1], 1.0);
    EXPECT_EQ(h.voice(1).noteExpressionValues[0], 0.4); // pitch 62 became its ID
}

} // namespace
} // namespace Taviro::Test
