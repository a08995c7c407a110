// The process cycle through the bundle as a host observes it (outputs, getState, output parameter
// changes), and its real-time safety: no allocation while it runs.
#include "tests/support/AllocationCounter.h"
#include "tests/support/HostedPlugIn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Taviro::Test;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr ParamID kVoiceCount = 784;
constexpr size_t kChannel1Type = 8 + 82; // stream offset of channel 1's OSC 1 type

ParamValue voiceCount(HostedPlugIn& plugIn)
{
    ParamValue count = -1.0;
    EXPECT_TRUE(reportedValue(plugIn.outputChanges, kVoiceCount, count));
    return count;
}

TEST(ProcessCycleIntegrationTest, ParameterChangesAndReportsAsAHostSeesThem)
{
    HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32));
    const std::pair<double, double> points[] = {{0.9, 0.1}, {0.1, 0.9}}; // type trunc(v x 7): 0, 6
    for (const auto& [earlier, last] : points)
    {
        int32 index = 0;
        IParamValueQueue* queue = plugIn.inputChanges.addParameterData(0, index);
        queue->addPoint(0, earlier, index);
        queue->addPoint(10, last, index);
        plugIn.run();
        EXPECT_EQ(plugIn.state()[kChannel1Type], last > 0.5 ? 6 : 0);
    }

    // Empty queues and the voice count and editor channel identifiers change nothing.
    const std::vector<unsigned char> before = plugIn.state();
    int32 index = 0;
    plugIn.inputChanges.addParameterData(0, index);
    plugIn.inputChanges.addChange(784, 0.7);
    plugIn.inputChanges.addChange(785, 0.3);
    plugIn.run();
    EXPECT_EQ(plugIn.state(), before);
    EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 1);
    EXPECT_EQ(voiceCount(plugIn), 0.0);

    // Blocks without outputs or samples (a host's parameter flush) still apply changes and count voices.
    Event note = makeNoteOn(0, 2, 60, 0.8f);
    plugIn.events.addEvent(note);
    plugIn.run();
    EXPECT_EQ(voiceCount(plugIn), 1 * 0.0078125);
    plugIn.data.numOutputs = 0;
    plugIn.data.inputEvents = nullptr;
    plugIn.inputChanges.addChange(0, 0.5); // trunc(3.5)
    plugIn.data.numSamples = 0;
    plugIn.outputChanges.clear();
    ASSERT_EQ(plugIn.processor().process(plugIn.data), kResultOk);
    EXPECT_EQ(voiceCount(plugIn), 1 * 0.0078125);
    EXPECT_EQ(plugIn.state()[kChannel1Type], 3);

    // A program change is reported one identifier per block, last queued first. Program 1 ("E-Guitar
    // clean surf green"): OSC 1 Multi Sample with set 1 and release 0.1, OSC 2 and 3 off. By field:
    // type / 7, set x 0.125, volume, (detune + 1) x 0.5, retard, filter type x 0.25, frequency, Q,
    // octave / 17, attack, decay, sustain level and time, release.
    const double osc1[14] = {6 / 7.0, 0.125, 1, 0.5, 0, 0, 1, 0, 8 / 17.0, 0, 0, 1, 0, 0.1};
    const double osc23[14] = {0, 0, 0, 0.5, 0, 0, 1, 0, 8 / 17.0, 0, 0, 1, 0, 0};
    auto expectedValue = [&](int32 k) {
        const double* fields = k < 14 ? osc1 : osc23;
        return k == 42 ? 0.3334 : k == 45 ? 1.0 : fields[k % 14];
    };
    const int32 reportOrder[44] = {29, 15, 1,  45, 36, 22, 8,  35, 34, 33, 21, 20, 19, 7,  6,
                                   5,  31, 17, 3,  30, 16, 2,  32, 18, 4,  41, 40, 39, 38, 37,
                                   27, 26, 25, 24, 23, 13, 12, 11, 10, 9,  42, 28, 14, 0};

    plugIn.inputChanges.addChange(46, 0.06); // trunc(1.14): program 1 on channel 1
    // A block without output changes reports nothing and loses nothing.
    plugIn.data.outputParameterChanges = nullptr;
    ASSERT_EQ(plugIn.processor().process(plugIn.data), kResultOk);
    plugIn.inputChanges.clear();
    for (int32 k : reportOrder)
    {
        ASSERT_EQ(plugIn.run(), kResultOk);
        ASSERT_EQ(plugIn.outputChanges.getParameterCount(), 2) << k;
        EXPECT_EQ(plugIn.outputChanges.getParameterData(0)->getParameterId(), kVoiceCount);
        ParamValue value = -1.0;
        ASSERT_TRUE(reportedValue(plugIn.outputChanges, k, value)) << k;
        EXPECT_DOUBLE_EQ(value, expectedValue(k)) << k;
    }
    plugIn.run();
    EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 1);
}

TEST(SoundIntegrationTest, ANoteOnMidiChannel3SoundsOnBus2OnlyAndNothingWhileInactive)
{
    constexpr int32 kBlock = 256;
    for (int32 sampleSize : {kSample32, kSample64})
    {
        SCOPED_TRACE(sampleSize);
        HostedPlugIn plugIn;
        ASSERT_TRUE(plugIn.start(sampleSize, 48000.0, kBlock));
        // The peak of the block; every bus but 2 must be silent, and bus 2 too when `silent`
        // (the processor is then inactive and says so).
        auto runBlock = [&](bool silent) {
            EXPECT_EQ(plugIn.run(), silent ? kNotInitialized : kResultOk);
            double peak = 0.0;
            for (int32 n = 0; n < 16 * 2 * kBlock; ++n)
            {
                const int32 bus = n / (2 * kBlock);
                const double s = plugIn.outputSample(bus, n / kBlock % 2, n % kBlock);
                EXPECT_TRUE(s == 0.0 || (bus == 2 && !silent)) << "bus " << bus << " sample " << n % kBlock;
                peak = std::max(peak, std::fabs(s));
            }
            return peak;
        };
        Event note = makeNoteOn(10, 2, 60, 1.f, 1);
        plugIn.events.addEvent(note);
        for (int32 block = 0; block < 8; ++block)
            EXPECT_GT(runBlock(false), 1e-3) << "block " << block;

        plugIn.stop();
        EXPECT_EQ(plugIn.component().setActive(false), kResultOk);
        const std::vector<unsigned char> before = plugIn.state();
        plugIn.events.addEvent(note);
        plugIn.inputChanges.addChange(46, 0.5);
        EXPECT_EQ(runBlock(true), 0.0);
        EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 0);
        EXPECT_EQ(plugIn.state(), before);
    }
}

// Panorama (offset 48, where hosts and MIDI controller 10 send it) moves a note between the sides
// and nothing else: one side keeps the level of a centred note, the other falls linearly to 0 at
// the end. "USER 1" plays a sine, the same on both sides, so the sides compare sample for sample.
TEST(SoundIntegrationTest, PanoramaMovesTheSoundBetweenTheSidesAndLeavesTheVolume)
{
    constexpr int32 kBlock = 256;
    auto noteWithPan = [](double pan) {
        HostedPlugIn plugIn;
        EXPECT_TRUE(plugIn.start(kSample64, 48000.0, kBlock));
        plugIn.inputChanges.addChange(4 * 49 + 46, 15.5 / 19.0); // channel 5 plays "USER 1"
        plugIn.inputChanges.addChange(4 * 49 + 48, pan);
        Event note = makeNoteOn(0, 4, 69, 1.f, 1);
        plugIn.events.addEvent(note);
        EXPECT_EQ(plugIn.run(), kResultOk);
        std::vector<double> sides[2];
        for (int32 side = 0; side < 2; ++side)
            for (int32 i = 0; i < kBlock; ++i)
                sides[side].push_back(plugIn.outputSample(4, side, i));
        return std::pair{sides[0], sides[1]};
    };
    const auto [left, right] = noteWithPan(0.5);
    ASSERT_EQ(left, right);
    ASSERT_GT(*std::max_element(left.begin(), left.end()), 0.01);
    auto scaled = [&](double gain) {
        std::vector<double> out;
        for (double s : left)
            out.push_back(s * gain);
        return out;
    };
    // Pan, and the gains of the left and right side it gives: 1 and pan x 2 left of the centre,
    // 1 - (pan - 0.5) x 2 and 1 right of it.
    const std::tuple<double, double, double> cases[] = {{0.0, 1.0, 0.0}, {0.25, 1.0, 0.5}, {1.0, 0.0, 1.0}};
    for (const auto& [pan, leftGain, rightGain] : cases)
    {
        const auto [panLeft, panRight] = noteWithPan(pan);
        const std::vector<double> expectedLeft = scaled(leftGain), expectedRight = scaled(rightGain);
        for (int32 i = 0; i < kBlock; ++i)
        {
            ASSERT_NEAR(panLeft[i], expectedLeft[i], 1e-12) << "pan " << pan << " sample " << i;
            ASSERT_NEAR(panRight[i], expectedRight[i], 1e-12) << "pan " << pan << " sample " << i;
        }
    }
}

TEST(RealtimeIntegrationTest, ProcessNeverAllocates)
{
    for (int32 sampleSize : {kSample32, kSample64})
    {
        // The counter must see the module's allocations, or a zero below would prove nothing.
        counting = true;
        HostedPlugIn plugIn;
        counting = false;
        ASSERT_GT(allocations.load(), 0);
        ASSERT_TRUE(plugIn.start(sampleSize, 48000.0, 128));
        allocations = 0;
        for (int32 block = 0; block < 400; ++block)
        {
            // Notes ending six blocks later, volume and pan expressions on the notes of this block and
            // the last, oscillator edits, pitch bend, now and then a program.
            const int32 channel = block % 16;
            Event on = makeNoteOn(block % 100, channel, 36 + block % 48, 0.9f, block);
            Event off = makeNoteOff(5, (block + 10) % 16, 36 + (block + 42) % 48, 0.f, block - 6);
            plugIn.events.addEvent(on);
            plugIn.events.addEvent(off);
            for (int32 age : {0, 1})
            {
                Event expression{};
                expression.type = Event::kNoteExpressionValueEvent;
                expression.sampleOffset = 100 + age;
                const auto ch = static_cast<uint32>((block - age + 16) % 16);
                expression.noteExpressionValue = {(age ? 100000u : 100016u) + ch, block - age, 0.3};
                plugIn.events.addEvent(expression);
            }
            plugIn.inputChanges.addChange(49 * channel + block % 42, (block % 10) / 10.0);
            plugIn.inputChanges.addChange(49 * channel + 44, (block % 7) / 7.0);
            if (block % 25 == 0)
                plugIn.inputChanges.addChange(49 * channel + 46, (block % 19) / 19.0);
            counting = true;
            const tresult result = plugIn.run();
            counting = false;
            ASSERT_EQ(result, kResultOk);
        }
        EXPECT_EQ(allocations.load(), 0) << "sample size " << sampleSize;
    }
}

} // namespace
