// The host-side library on its own: what hosts and the renderer rely on when they feed a block.

#include "public.sdk/source/vst/hosting/componenthandler.h"
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/module.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

TEST(HostLibraryTest, QueuesKeepPointsInOffsetOrderAndRefuseBeyondTheirCapacity)
{
    ParameterValueQueue queue(7, 3);
    int32 index = -1;
    ASSERT_EQ(queue.addPoint(20, 0.2, index), kResultOk);
    ASSERT_EQ(queue.addPoint(5, 0.05, index), kResultOk);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(queue.addPoint(20, 0.25, index), kResultOk); // same offset: replaced
    EXPECT_EQ(index, 1);
    ASSERT_EQ(queue.addPoint(10, 0.1, index), kResultOk);
    EXPECT_EQ(queue.addPoint(30, 0.3, index), kResultFalse);

    const std::pair<int32, double> expected[] = {{5, 0.05}, {10, 0.1}, {20, 0.25}};
    ASSERT_EQ(queue.getPointCount(), 3);
    for (int32 i = 0; i < 3; ++i)
    {
        int32 offset = -1;
        ParamValue value = -1.0;
        ASSERT_EQ(queue.getPoint(i, offset, value), kResultOk);
        EXPECT_EQ(offset, expected[i].first);
        EXPECT_EQ(value, expected[i].second);
    }
    int32 offset = 0;
    ParamValue value = 0.0;
    EXPECT_NE(queue.getPoint(3, offset, value), kResultOk);
    EXPECT_NE(queue.getPoint(-1, offset, value), kResultOk);
}

TEST(HostLibraryTest, ParameterChangesGiveEachParameterOneQueueUntilClearedOrFull)
{
    ParameterChanges changes(2, 4);
    int32 first = -1, again = -1, second = -1, third = -1;
    IParamValueQueue* a = changes.addParameterData(100, first);
    IParamValueQueue* b = changes.addParameterData(100, again);
    IParamValueQueue* c = changes.addParameterData(200, second);
    ASSERT_TRUE(a && c);
    EXPECT_EQ(a, b);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(again, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(changes.addParameterData(300, third), nullptr);
    EXPECT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.getParameterData(1)->getParameterId(), 200u);
    EXPECT_EQ(changes.getParameterData(2), nullptr);
    EXPECT_EQ(changes.findQueue(300), nullptr);

    ASSERT_TRUE(changes.addChange(100, 0.5, 3));
    changes.clear();
    EXPECT_EQ(changes.getParameterCount(), 0);
    IParamValueQueue* reused = changes.addParameterData(300, third);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->getParameterId(), 300u);
    EXPECT_EQ(reused->getPointCount(), 0); // no point left over from the last block
}

TEST(HostLibraryTest, EventListsHoldNotesUpToTheirCapacity)
{
    EventList events(2);
    Event on = makeNoteOn(10, 2, 60, 0.5f, 7);
    Event off = makeNoteOff(20, 2, 60);
    ASSERT_EQ(events.addEvent(on), kResultOk);
    ASSERT_EQ(events.addEvent(off), kResultOk);
    EXPECT_EQ(events.addEvent(on), kResultFalse);
    Event read{};
    ASSERT_EQ(events.getEvent(0, read), kResultOk);
    EXPECT_EQ(read.type, Event::kNoteOnEvent);
    EXPECT_EQ(read.sampleOffset, 10);
    EXPECT_EQ(read.noteOn.channel, 2);
    EXPECT_EQ(read.noteOn.noteId, 7);
    EXPECT_EQ(events.getEvent(2, read), kInvalidArgument);
    events.clear();
    EXPECT_EQ(events.getEventCount(), 0);
}

TEST(HostLibraryTest, ProcessDataGivesEveryBusItsOwnChannelsInTheChosenPrecision)
{
    HostProcessData data;
    ASSERT_TRUE(data.prepare(16, 2, 64, kSample64));
    EXPECT_EQ(data.numOutputs, 16);
    EXPECT_EQ(data.symbolicSampleSize, kSample64);
    EXPECT_EQ(data.outputChannel32(0, 0), nullptr);
    for (int32 bus = 0; bus < 16; ++bus)
    {
        ASSERT_EQ(data.outputs[bus].numChannels, 2);
        for (int32 c = 0; c < 2; ++c)
        {
            ASSERT_EQ(data.outputs[bus].channelBuffers64[c], data.outputChannel64(bus, c));
            data.outputChannel64(bus, c)[63] = bus * 2 + c + 1; // would overwrite a neighbour if shared
        }
    }
    for (int32 bus = 0; bus < 16; ++bus)
        for (int32 c = 0; c < 2; ++c)
            EXPECT_EQ(data.outputChannel64(bus, c)[63], bus * 2 + c + 1);
    EXPECT_EQ(data.outputChannel64(16, 0), nullptr);
    EXPECT_EQ(data.outputChannel64(0, 2), nullptr);
    data.clearOutputs();
    EXPECT_EQ(data.outputChannel64(15, 1)[63], 0.0);

    EXPECT_FALSE(data.prepare(16, 2, 0, kSample32));
    EXPECT_FALSE(data.prepare(16, 2, 64, 2));
}

TEST(HostLibraryTest, TheComponentHandlerRecordsEditsInOrder)
{
    ComponentHandler handler;
    handler.beginEdit(5);
    handler.performEdit(5, 0.25);
    handler.endEdit(5);
    handler.restartComponent(kParamValuesChanged);
    ASSERT_EQ(handler.edits().size(), 3u);
    EXPECT_EQ(handler.edits()[0].kind, ComponentHandler::Edit::kBegin);
    EXPECT_EQ(handler.edits()[1].kind, ComponentHandler::Edit::kPerform);
    EXPECT_EQ(handler.edits()[1].id, 5u);
    EXPECT_EQ(handler.edits()[1].value, 0.25);
    EXPECT_EQ(handler.edits()[2].kind, ComponentHandler::Edit::kEnd);
    EXPECT_EQ(handler.restartFlags(), std::vector<int32>{kParamValuesChanged});
}

TEST(HostLibraryTest, TheModuleBinaryIsNamedAfterTheBundle)
{
    EXPECT_EQ(VST3::Hosting::moduleBinaryPath("/a/b/Some Plug.vst3"), "/a/b/Some Plug.vst3/Contents/x86_64-linux/Some Plug.so");
    EXPECT_EQ(VST3::Hosting::moduleBinaryPath("/a/b/Some Plug.vst3/"), "/a/b/Some Plug.vst3/Contents/x86_64-linux/Some Plug.so");
    std::string error;
    EXPECT_EQ(VST3::Hosting::Module::create("/nonexistent/Nothing.vst3", error), nullptr);
    EXPECT_NE(error.find("Nothing.so"), std::string::npos) << error;
}

} // namespace
