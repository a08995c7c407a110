// The process cycle through the bundle, observed as a host observes it: through getState and the
// processor's output parameter changes.

#include "tests/support/HostedPlugIn.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::doubleAt;
using Taviro::Test::HostedPlugIn;
using Taviro::Test::reportedValue;

namespace {

constexpr ParamID kVoiceCount = 784;

// Stream offsets of the state image.
constexpr size_t channelRecord(int32 ch) { return 8 + 262 * static_cast<size_t>(ch); }
constexpr size_t userRecord(int32 u) { return 4200 + 261 * static_cast<size_t>(u); }
constexpr size_t oscillatorRecord(int32 o) { return 84 * static_cast<size_t>(o); }
constexpr size_t kTypeByte = 82;
constexpr size_t kMultiSampleByte = 83;
constexpr size_t kProgramByte = 261;

constexpr ParamID id(int32 ch, int32 offset) { return static_cast<ParamID>(49 * ch + offset); }

class ProcessCycleIntegrationTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(plugIn.start(kSample32, 48000.0, 128)); }

    HostedPlugIn plugIn;
};

TEST_F(ProcessCycleIntegrationTest, OnlyTheLastPointOfAQueueCounts)
{
    int32 index = 0;
    IParamValueQueue* queue = plugIn.inputChanges.addParameterData(0, index);
    queue->addPoint(0, 0.9, index);
    queue->addPoint(10, 0.1, index); // trunc(0.7) = 0, "Off"
    plugIn.run();
    EXPECT_EQ(plugIn.state()[channelRecord(0) + kTypeByte], 0);

    queue = plugIn.inputChanges.addParameterData(0, index);
    queue->addPoint(0, 0.1, index);
    queue->addPoint(10, 0.9, index); // trunc(6.3) = 6, "Multi Sample"
    plugIn.run();
    EXPECT_EQ(plugIn.state()[channelRecord(0) + kTypeByte], 6);

    // A queue without points is skipped.
    const std::vector<unsigned char> before = plugIn.state();
    plugIn.inputChanges.addParameterData(0, index);
    plugIn.run();
    EXPECT_EQ(plugIn.state(), before);
}

TEST_F(ProcessCycleIntegrationTest, AProgramChangeIsReportedOneIdentifierPerBlockLastQueuedFirst)
{
    // Program 1, "E-Guitar clean surf green": OSC 1 Multi Sample with set 1 and release 0.1,
    // OSC 2 and 3 off; every oscillator at octave index 8, sustain level 1, filter frequency 1.
    auto expectedValue = [](int32 k) {
        if (k == 42)
            return 0.3334; // masterVolume
        if (k == 45)
            return 1.0; // receiveNoteOff
        const int32 o = k / 14;
        switch (k % 14)
        {
            case 0: return o == 0 ? 6.0 / 7.0 : 0.0;    // type / 7
            case 1: return o == 0 ? 1 * 0.125 : 0.0;    // multiSample x 0.125
            case 2: return o == 0 ? 1.0 : 0.0;          // volume
            case 3: return (0.0 + 1.0) * 0.5;           // detune 0
            case 5: return 0.0;                         // filterType 0 x 0.25
            case 6: return 1.0;                         // filterFrequency
            case 8: return 8.0 / 17.0;                  // octave index 8
            case 11: return 1.0;                        // sustainLevel
            case 13: return o == 0 ? 0.1 : 0.0;         // releaseTime
            default: return 0.0;                        // retard, Q, attack, decay, sustain time
        }
    };
    const int32 reportOrder[44] = {29, 15, 1,  45, 36, 22, 8,  35, 34, 33, 21, 20, 19, 7,  6,
                                   5,  31, 17, 3,  30, 16, 2,  32, 18, 4,  41, 40, 39, 38, 37,
                                   27, 26, 25, 24, 23, 13, 12, 11, 10, 9,  42, 28, 14, 0};

    plugIn.inputChanges.addChange(id(0, 46), 0.06); // trunc(1.14) = program 1
    for (int32 block = 0; block < 44; ++block)
    {
        ASSERT_EQ(plugIn.run(), kResultOk);
        ASSERT_EQ(plugIn.outputChanges.getParameterCount(), 2) << "block " << block;
        EXPECT_EQ(plugIn.outputChanges.getParameterData(0)->getParameterId(), kVoiceCount);
        const ParamID reported = plugIn.outputChanges.getParameterData(1)->getParameterId();
        EXPECT_EQ(reported, static_cast<ParamID>(reportOrder[block])) << "block " << block;
        ParamValue value = -1.0;
        ASSERT_TRUE(reportedValue(plugIn.outputChanges, reported, value)) << reported;
        EXPECT_DOUBLE_EQ(value, expectedValue(reportOrder[block])) << "identifier " << reported;
    }
    // Everything reported: only the voice count is left.
    plugIn.run();
    EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 1);
}

TEST_F(ProcessCycleIntegrationTest, TheDrumChannelAlwaysGetsTheDrumKit)
{
    plugIn.inputChanges.addChange(id(9, 1), 0.2); // OSC 1 multiSample: trunc(1.6) = 1
    plugIn.run();
    ASSERT_EQ(plugIn.state()[channelRecord(9) + kMultiSampleByte], 1);

    plugIn.inputChanges.addChange(id(9, 46), 0.9);
    plugIn.run();
    const std::vector<unsigned char> state = plugIn.state();
    EXPECT_EQ(state[channelRecord(9) + kProgramByte], 0);
    EXPECT_EQ(state[channelRecord(9) + kMultiSampleByte], 3);
    // First report: OSC 3 multiSample of the kit (set 3) as 3 x 0.125.
    ParamValue value = 0.0;
    ASSERT_TRUE(reportedValue(plugIn.outputChanges, id(9, 29), value));
    EXPECT_EQ(value, 0.375);
}

TEST_F(ProcessCycleIntegrationTest, EditsOfAUserProgramChannelGoIntoTheUserProgram)
{
    plugIn.inputChanges.addChange(id(2, 46), 16.5 / 19.0); // channel 3 plays "USER 2"
    plugIn.run();
    plugIn.inputChanges.addChange(id(2, 14 + 2), 0.7); // its OSC 2 volume
    plugIn.run();
    std::vector<unsigned char> state = plugIn.state();
    EXPECT_EQ(doubleAt(state, channelRecord(2) + oscillatorRecord(1)), 0.7);
    EXPECT_EQ(doubleAt(state, userRecord(1) + oscillatorRecord(1)), 0.7);

    // Performance controls reach neither the stream nor a user program.
    for (int32 offset : {43, 44, 47, 48})
        plugIn.inputChanges.addChange(id(2, offset), 0.9);
    plugIn.run();
    EXPECT_EQ(plugIn.state(), state);

    // The drum channel never edits a user program, whatever program number a stream gave it.
    state[channelRecord(9) + kProgramByte] = 16;
    ASSERT_EQ(plugIn.restore(state), kResultOk);
    plugIn.inputChanges.addChange(id(9, 14 + 2), 0.2);
    plugIn.run();
    const std::vector<unsigned char> after = plugIn.state();
    EXPECT_EQ(doubleAt(after, channelRecord(9) + oscillatorRecord(1)), 0.2);
    EXPECT_EQ(doubleAt(after, userRecord(1) + oscillatorRecord(1)), 0.7);
}

TEST_F(ProcessCycleIntegrationTest, VoiceCountAndEditorChannelIdentifiersAreIgnored)
{
    const std::vector<unsigned char> before = plugIn.state();
    plugIn.inputChanges.addChange(784, 0.7);
    plugIn.inputChanges.addChange(785, 0.3);
    plugIn.run();
    EXPECT_EQ(plugIn.state(), before);
    ASSERT_EQ(plugIn.outputChanges.getParameterCount(), 1);
    ParamValue count = -1.0;
    ASSERT_TRUE(reportedValue(plugIn.outputChanges, kVoiceCount, count));
    EXPECT_EQ(count, 0.0);
}

TEST_F(ProcessCycleIntegrationTest, ABlockWithoutOutputsStillReportsTheVoiceCount)
{
    Event note = makeNoteOn(0, 2, 60, 0.8f);
    plugIn.events.addEvent(note);
    plugIn.run();
    ParamValue count = -1.0;
    ASSERT_TRUE(reportedValue(plugIn.outputChanges, kVoiceCount, count));
    EXPECT_EQ(count, 1 * 0.0078125);

    plugIn.data.numOutputs = 0;
    plugIn.run();
    count = -1.0;
    ASSERT_TRUE(reportedValue(plugIn.outputChanges, kVoiceCount, count));
    EXPECT_EQ(count, 1 * 0.0078125);
    plugIn.data.numOutputs = 16;
}

TEST_F(ProcessCycleIntegrationTest, AFlushWithoutSamplesOrBuffersStillAppliesTheChanges)
{
    // Hosts pass parameter changes this way while the transport stands still.
    plugIn.data.numOutputs = 0;
    plugIn.data.numSamples = 0;
    plugIn.data.inputEvents = nullptr;
    plugIn.inputChanges.addChange(id(0, 2), 0.25); // OSC 1 volume of channel 1
    plugIn.data.inputParameterChanges = &plugIn.inputChanges;
    plugIn.data.outputParameterChanges = &plugIn.outputChanges;
    ASSERT_EQ(plugIn.processor().process(plugIn.data), kResultOk);
    EXPECT_EQ(doubleAt(plugIn.state(), channelRecord(0) + oscillatorRecord(0)), 0.25);
    ParamValue count = -1.0;
    EXPECT_TRUE(reportedValue(plugIn.outputChanges, kVoiceCount, count));

    // The same with buffers but no samples.
    plugIn.data.numOutputs = 16;
    plugIn.inputChanges.clear();
    plugIn.inputChanges.addChange(id(0, 2), 0.5);
    ASSERT_EQ(plugIn.processor().process(plugIn.data), kResultOk);
    EXPECT_EQ(doubleAt(plugIn.state(), channelRecord(0) + oscillatorRecord(0)), 0.5);
}

TEST_F(ProcessCycleIntegrationTest, WithoutOutputChangesNothingPendingIsLost)
{
    plugIn.inputChanges.addChange(id(0, 46), 0.06);
    plugIn.data.outputParameterChanges = nullptr;
    plugIn.data.inputParameterChanges = &plugIn.inputChanges;
    ASSERT_EQ(plugIn.processor().process(plugIn.data), kResultOk);
    plugIn.inputChanges.clear();
    // The first identifier is still the first one reported.
    plugIn.run();
    ASSERT_EQ(plugIn.outputChanges.getParameterCount(), 2);
    EXPECT_EQ(plugIn.outputChanges.getParameterData(1)->getParameterId(), 29u);
}

} // namespace
