#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;

// A fixed list of events for one block.
class EventList : public IEventList
{
public:
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
    int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
    tresult PLUGIN_API getEvent(int32 index, Event& e) override
    {
        if (index < 0 || index >= getEventCount() || unreadable == index)
            return kResultFalse;
        e = events[static_cast<size_t>(index)];
        return kResultOk;
    }
    tresult PLUGIN_API addEvent(Event& e) override
    {
        events.push_back(e);
        return kResultOk;
    }

    EventList& noteOn(int16 channel, int16 pitch, int32 offset, float velocity = 1.0f, int32 noteId = -1)
    {
        Event e{};
        e.type = Event::kNoteOnEvent;
        e.sampleOffset = offset;
        e.noteOn.channel = channel;
        e.noteOn.pitch = pitch;
        e.noteOn.velocity = velocity;
        e.noteOn.noteId = noteId;
        events.push_back(e);
        return *this;
    }
    EventList& noteOff(int16 channel, int16 pitch, int32 offset, int32 noteId = -1)
    {
        Event e{};
        e.type = Event::kNoteOffEvent;
        e.sampleOffset = offset;
        e.noteOff.channel = channel;
        e.noteOff.pitch = pitch;
        e.noteOff.noteId = noteId;
        events.push_back(e);
        return *this;
    }
    EventList& expression(uint32 typeId, int32 noteId, double value)
    {
        Event e{};
        e.type = Event::kNoteExpressionValueEvent;
        e.noteExpressionValue.typeId = typeId;
        e.noteExpressionValue.noteId = noteId;
        e.noteExpressionValue.value = value;
        events.push_back(e);
        return *this;
    }

    std::vector<Event> events;
    int32 unreadable = -1; // index whose read fails
};

} // namespace Taviro::Test
