// The module's factory, the processor component and its controller as a host meets them in the
// built bundle.
#include "tests/support/HostedPlugIn.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Taviro::Test;
using Bytes = std::vector<unsigned char>;

namespace {

TEST(FactoryIntegrationTest, OneFactoryWithTwoClassesInOrderAndTheirIdentifiersInThePlatformLayout)
{
    auto getFactory = reinterpret_cast<GetFactoryProc>(loadedBundle().getSymbol("GetPluginFactory"));
    ASSERT_NE(getFactory, nullptr);
    IPluginFactory* held = loadedBundle().getFactory().get(); // the loader holds one reference
    EXPECT_EQ(getFactory(), held);
    EXPECT_EQ(getFactory(), held);
    EXPECT_EQ(held->release(), 2u); // loader and the first call
    EXPECT_EQ(held->release(), 1u);

    // Class ID, category, flags (1: distributable), sub-categories.
    const std::tuple<Bytes, std::string, uint32, std::string> expected[] = {
        {kProcessorClassBytes, "Audio Module Class", 1, "Instrument|Synth|Sampler"},
        {kControllerWithUIClassBytes, "Component Controller Class", 0, ""},
    };
    const auto classes = loadedBundle().getFactory().classInfos();
    ASSERT_EQ(classes.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
    {
        const auto& [cid, category, flags, subCategories] = expected[i];
        EXPECT_EQ(Bytes(classes[i].cid, classes[i].cid + 16), cid);
        EXPECT_EQ(classes[i].cardinality, 0x7FFFFFFF);
        EXPECT_EQ(classes[i].category, category);
        EXPECT_EQ(classes[i].name, "Taviro PlugIn");
        EXPECT_EQ(classes[i].classFlags, flags);
        EXPECT_EQ(classes[i].subCategories, subCategories);
        EXPECT_EQ(classes[i].vendor, "");
        EXPECT_EQ(classes[i].version, "1.0.0.0");
        EXPECT_EQ(classes[i].sdkVersion, "VST 3.5.2");
    }

    HostedPlugIn plugIn;
    TUID controller{};
    ASSERT_EQ(plugIn.component().getControllerClassId(controller), kResultOk);
    EXPECT_EQ(Bytes(controller, controller + 16), kControllerWithUIClassBytes);
}

TEST(ProcessorIntegrationTest, BusesArrangementsAndSampleSizes)
{
    HostedPlugIn plugIn;
    IComponent& component = plugIn.component();
    ASSERT_EQ(component.getBusCount(kAudio, kOutput), 16);
    ASSERT_EQ(component.getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(component.getBusCount(kAudio, kInput) + component.getBusCount(kEvent, kOutput), 0);
    for (int32 bus = 0; bus <= 16; ++bus)
    {
        const bool events = bus == 16;
        BusInfo info{};
        ASSERT_EQ(component.getBusInfo(events ? kEvent : kAudio, events ? kInput : kOutput, bus % 16, info),
                  kResultOk);
        char name[128] = {};
        UString(info.name, 128).toAscii(name, sizeof name);
        EXPECT_EQ(name, events ? "Event Input" : "Audio Output MIDI channel " + std::to_string(bus + 1));
        EXPECT_EQ(info.channelCount, events ? 16 : 2);
        EXPECT_EQ(info.busType, kMain);
        EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
    }

    // Only 16 stereo outputs without inputs; a refused layout leaves the buses stereo.
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

    EXPECT_EQ(processor.canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor.canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(processor.canProcessSampleSize(2), kResultFalse);
}

// A restore while active that no block took over still counts after deactivation. (Restores that
// fail half way: HostMisuseIntegrationTest.)
TEST(ProcessorIntegrationTest, ARestoreWhileActiveCountsAlsoWhenNoBlockTookItOver)
{
    HostedPlugIn plugIn;
    const Bytes fresh = plugIn.state();
    ASSERT_TRUE(plugIn.start(kSample32));
    plugIn.inputChanges.addChange(42, 0.9); // channel 1 volume
    plugIn.run();
    ASSERT_NE(plugIn.state(), fresh);
    EXPECT_EQ(plugIn.component().setState(nullptr), kResultFalse);
    ASSERT_EQ(plugIn.restore(fresh), kResultOk);
    plugIn.stop();
    EXPECT_EQ(plugIn.state(), fresh);
}

} // namespace
