// The processor component through the bundle: buses, arrangements, sample sizes, activation,
// state, and a host that processes while inactive.

#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::HostedPlugIn;

namespace {

std::string ascii(const String128 text)
{
    char buffer[128] = {};
    UString(const_cast<char16*>(text), 128).toAscii(buffer, sizeof buffer);
    return buffer;
}

TEST(ProcessorIntegrationTest, SixteenStereoOutputsAndOneEventInputOfSixteenChannels)
{
    HostedPlugIn plugIn;
    IComponent& component = plugIn.component();
    ASSERT_EQ(component.getBusCount(kAudio, kOutput), 16);
    EXPECT_EQ(component.getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(component.getBusCount(kEvent, kOutput), 0);
    ASSERT_EQ(component.getBusCount(kEvent, kInput), 1);
    for (int32 bus = 0; bus < 16; ++bus)
    {
        BusInfo info{};
        ASSERT_EQ(component.getBusInfo(kAudio, kOutput, bus, info), kResultOk);
        EXPECT_EQ(ascii(info.name), "Audio Output MIDI channel " + std::to_string(bus + 1));
        EXPECT_EQ(info.channelCount, 2);
        EXPECT_EQ(info.busType, kMain);
        EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
        SpeakerArrangement arrangement = 0;
        ASSERT_EQ(plugIn.processor().getBusArrangement(kOutput, bus, arrangement), kResultOk);
        EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    }
    BusInfo events{};
    ASSERT_EQ(component.getBusInfo(kEvent, kInput, 0, events), kResultOk);
    EXPECT_EQ(ascii(events.name), "Event Input");
    EXPECT_EQ(events.channelCount, 16);
    EXPECT_EQ(events.busType, kMain);
    EXPECT_EQ(events.flags, static_cast<uint32>(BusInfo::kDefaultActive));
}

TEST(ProcessorIntegrationTest, OnlySixteenStereoOutputsWithoutInputsAreAccepted)
{
    HostedPlugIn plugIn;
    IAudioProcessor& processor = plugIn.processor();
    std::vector<SpeakerArrangement> outputs(17, SpeakerArr::kStereo);
    SpeakerArrangement input = SpeakerArr::kStereo;
    EXPECT_EQ(processor.setBusArrangements(nullptr, 0, outputs.data(), 16), kResultOk);
    EXPECT_EQ(processor.setBusArrangements(nullptr, 0, outputs.data(), 15), kResultFalse);
    EXPECT_EQ(processor.setBusArrangements(nullptr, 0, outputs.data(), 17), kResultFalse);
    EXPECT_EQ(processor.setBusArrangements(&input, 1, outputs.data(), 16), kResultFalse);
    outputs[5] = SpeakerArr::kMono;
    EXPECT_EQ(processor.setBusArrangements(nullptr, 0, outputs.data(), 16), kResultFalse);
    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(processor.getBusArrangement(kOutput, 5, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
}

TEST(ProcessorIntegrationTest, ThirtyTwoAndSixtyFourBitSamplesOnly)
{
    HostedPlugIn plugIn;
    EXPECT_EQ(plugIn.processor().canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(plugIn.processor().canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(plugIn.processor().canProcessSampleSize(2), kResultFalse);
    ProcessSetup unsupported{kRealtime, 2, 256, 48000.0};
    EXPECT_NE(plugIn.processor().setupProcessing(unsupported), kResultOk);
}

TEST(ProcessorIntegrationTest, RepeatedActivationAndDeactivationAreHarmless)
{
    HostedPlugIn plugIn;
    EXPECT_EQ(plugIn.component().setActive(false), kResultOk); // never active
    ASSERT_TRUE(plugIn.start(kSample32));
    EXPECT_EQ(plugIn.component().setActive(true), kResultOk);
    EXPECT_EQ(plugIn.run(), kResultOk);
    plugIn.stop();
    EXPECT_EQ(plugIn.component().setActive(false), kResultOk);
    // Another precision at the next activation.
    ASSERT_TRUE(plugIn.start(kSample64));
    EXPECT_EQ(plugIn.run(), kResultOk);
}

TEST(ProcessorIntegrationTest, AFreshStateRestoresIntoASecondProcessor)
{
    HostedPlugIn first;
    const std::vector<unsigned char> written = first.state();
    ASSERT_EQ(written.size(), 5244u);
    EXPECT_EQ(std::vector<unsigned char>(written.begin(), written.begin() + 8),
              (std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}));
    // Channel 10's record: program 0 with OSC 1 "Multi Sample" playing the drum set.
    const size_t channel10 = 8 + 262 * 9;
    EXPECT_EQ(written[channel10 + 261], 0);
    EXPECT_EQ(written[channel10 + 82], 6);
    EXPECT_EQ(written[channel10 + 83], 3);

    // A second processor with other settings takes the first one's over completely.
    HostedPlugIn second;
    std::vector<unsigned char> other = written;
    Taviro::Test::putDouble(other, 8 + 252, 0.9); // channel 1 volume
    ASSERT_EQ(second.restore(other), kResultOk);
    ASSERT_NE(second.state(), written);
    ASSERT_EQ(second.restore(written), kResultOk);
    EXPECT_EQ(second.state(), written);
}

TEST(ProcessorIntegrationTest, ABlockWhileInactiveIsSilentAndChangesNothing)
{
    for (int32 sampleSize : {kSample32, kSample64})
    {
        SCOPED_TRACE(sampleSize);
        HostedPlugIn plugIn;
        ASSERT_TRUE(plugIn.start(sampleSize, 48000.0, 64));
        plugIn.stop();
        const std::vector<unsigned char> before = plugIn.state();
        plugIn.fillOutputs(0.5);

        plugIn.inputChanges.addChange(46, 0.5); // a program change on channel 1
        Event note = makeNoteOn(0, 0, 60, 1.f);
        plugIn.events.addEvent(note);
        EXPECT_EQ(plugIn.run(), kResultOk);

        for (int32 bus = 0; bus < 16; ++bus)
            for (int32 c = 0; c < 2; ++c)
                for (int32 i = 0; i < 64; ++i)
                    ASSERT_EQ(plugIn.outputSample(bus, c, i), 0.0) << bus << " " << c << " " << i;
        EXPECT_EQ(plugIn.outputChanges.getParameterCount(), 0);
        EXPECT_EQ(plugIn.state(), before);
    }
}

} // namespace
