#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace Steinberg::Vst {

// A block's events for IAudioProcessor::process. Storage is reserved up front, so adding events
// on the audio thread never allocates; an event beyond the capacity is refused.
class EventList : public IEventList
{
public:
    explicit EventList(int32 maxEvents = 128);
    virtual ~EventList() = default;

    // Empties the list for the next block.
    void clear() { events.clear(); }
    int32 capacity() const { return maxEvents; }

    // IEventList
    int32 PLUGIN_API getEventCount() SMTG_OVERRIDE;
    tresult PLUGIN_API getEvent(int32 index, Event& e) SMTG_OVERRIDE;
    // kResultFalse when the list is full.
    tresult PLUGIN_API addEvent(Event& e) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<Event> events;
    int32 maxEvents;
};

// Note events as a host builds them; length and tuning are left at zero.
Event makeNoteOn(int32 sampleOffset, int16 channel, int16 pitch, float velocity, int32 noteId = -1);
Event makeNoteOff(int32 sampleOffset, int16 channel, int16 pitch, float velocity = 0.f, int32 noteId = -1);

} // namespace Steinberg::Vst
