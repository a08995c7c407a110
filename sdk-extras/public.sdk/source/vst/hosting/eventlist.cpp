#include "public.sdk/source/vst/hosting/eventlist.h"

namespace Steinberg::Vst {

IMPLEMENT_FUNKNOWN_METHODS(EventList, IEventList, IEventList::iid)

EventList::EventList(int32 capacity) : maxEvents(capacity < 0 ? 0 : capacity)
{
    FUNKNOWN_CTOR
    events.reserve(static_cast<size_t>(maxEvents));
}

int32 PLUGIN_API EventList::getEventCount()
{
    return static_cast<int32>(events.size());
}

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e)
{
    if (index < 0 || index >= getEventCount())
        return kInvalidArgument;
    e = events[static_cast<size_t>(index)];
    return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Event& e)
{
    if (getEventCount() >= maxEvents)
        return kResultFalse;
    events.push_back(e);
    return kResultOk;
}

Event makeNoteOn(int32 sampleOffset, int16 channel, int16 pitch, float velocity, int32 noteId)
{
    Event e{};
    e.sampleOffset = sampleOffset;
    e.type = Event::kNoteOnEvent;
    e.noteOn.channel = channel;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = noteId;
    return e;
}

Event makeNoteOff(int32 sampleOffset, int16 channel, int16 pitch, float velocity, int32 noteId)
{
    Event e{};
    e.sampleOffset = sampleOffset;
    e.type = Event::kNoteOffEvent;
    e.noteOff.channel = channel;
    e.noteOff.pitch = pitch;
    e.noteOff.velocity = velocity;
    e.noteOff.noteId = noteId;
    return e;
}

} // namespace Steinberg::Vst
