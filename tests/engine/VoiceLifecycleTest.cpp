#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace Taviro::Test {
namespace {

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

// Paths that random programs need not reach, one channel each. Set 0 holds a line (codes 8 j + 800)
// of 2200 frames, set 1 its first 100 frames; both play at key 60 one frame per sample.
//  0: a retard of 0.001 (220 samples) delays the recording, which then starts at frame 0;
//  1: the same with a note-off during the retard, which releases a note that has not sounded yet;
//  2: the recording of 100 frames runs out and ends its voice in step 101;
//  3: the same recording with a silent sine, which holds the voice;
//  4: a square whose volume changes after the first block: the gain glides over the next block.
TEST(VoiceLifecycle, RetardedAndFinishedRecordingsAndVoiceGainGlide)
{
    GlobalParameterState state = neutralState(6);
    for (int32 ch : {0, 1})
    {
        state.oscillators[ch][0].multiSample = 1;
        state.oscillators[ch][0].retardTime = 0.001;
    }
    state.oscillators[2][0].multiSample = state.oscillators[3][0].multiSample = 2;
    state.oscillators[3][1] = state.oscillators[3][0];
    state.oscillators[3][1].type = 1;
    state.oscillators[3][1].volume = 0.0;
    state.oscillators[4][0].type = 3;
    EngineHarness<double> h(state);
    std::vector<int16> line;
    for (int32 j = 0; j < 2200; ++j)
        line.push_back(static_cast<int16>(8 * j + 800));
    h.record(0, line, 1, 44100, 60);
    h.record(1, std::vector<int16>(line.begin(), line.begin() + 100), 1, 44100, 60);
    Events events;
    for (int16 ch = 0; ch < 5; ++ch)
        events.on(ch, 60, 0);
    h.render(102, events.off(1, 60, 100));
    EXPECT_EQ(h.pool->activeVoices, 4); // channel 2's voice has ended in the block's last step
    h.state.masterVolume[4] = 0.25;     // amount 0.75, reached over the 922 samples of the next block
    h.render(922);
    EXPECT_EQ(h.pool->activeVoices, 3); // channel 1's release has ended at step 319
    h.render(64);

    // The retard completes in step 219, where the attack takes its first step; a recording's
    // frame 0 plays in the step after, its first without the retard.
    auto attack = [](int32 k, int32 retard) { return std::clamp((k + 1 - retard) / 220.0, 0.0, 1.0); };
    auto frame = [](int32 j) { return j < 0 ? 0.0 : (8 * j + 800) / 32767.0; };
    const double from = expectedGain(1.5f), to = expectedGain(0.75f);
    auto gain = [&](int32 k) {
        return k < 102 ? from : from + (to - from) * std::min(1.0, (k - 102) / 922.0);
    };
    auto value = [&](int32 ch, int32 k) { // the square's level, the recordings' values
        const double out = h.out(ch)[static_cast<size_t>(k)];
        return ch == 4 ? std::abs(out) / gain(k) : out / from;
    };
    for (int32 k = 0; k < 1088; ++k)
    {
        const double retarded = frame(k - 220) * attack(k, 219),
                     shortOne = k < 100 ? frame(k) * attack(k, 0) : 0.0;
        const double expected[] = {retarded, retarded * std::max(0.0, 1.0 - (k - 99) / 220.0), shortOne,
                                   shortOne, attack(k, 0)};
        for (int32 ch = 0; ch < 5; ++ch)
            ASSERT_NEAR(value(ch, k), expected[ch], 1e-12) << ch << ' ' << k;
    }
}

} // namespace
} // namespace Taviro::Test
