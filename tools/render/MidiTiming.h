#pragma once

#include "tools/render/MidiFile.h"

#include <cstdint>
#include <span>
#include <vector>

namespace Taviro::Render
{

// Turns MIDI ticks into sample positions through the file's tempo map. Positions are exact: the
// elapsed time is kept as a whole number of tick-microseconds and rounded to the nearest sample
// only at the end, so long files do not drift.
class TempoMap
{
  public:
    TempoMap(const MidiSequence& sequence, int sampleRate);

    std::int64_t sampleAt(std::uint64_t tick) const;
    double secondsAt(std::uint64_t tick) const;

  private:
    struct Segment
    {
        std::uint64_t tick;
        std::uint32_t microsecondsPerQuarter;
        unsigned __int128 elapsed; // sum of ticks x microseconds per quarter up to `tick`
    };

    unsigned __int128 elapsedAt(std::uint64_t tick) const;

    MidiDivision division;
    int sampleRate;
    std::vector<Segment> segments;
};

struct ScheduledEvent
{
    std::int64_t sample;
    MidiEvent event;
};

// The channel events of a sequence at their sample positions, in playback order (tempo events
// have done their work in the tempo map and are left out).
std::vector<ScheduledEvent> scheduleEvents(const MidiSequence& sequence, const TempoMap& tempoMap);

// Walks scheduled events block by block: each call hands over the events that fall into the
// block [blockStart, blockStart + blockSize) with their offset inside the block. Blocks must be
// asked for in ascending order; an event before the block (which only a caller that skipped
// ahead can produce) is delivered at offset 0 rather than lost.
class BlockCursor
{
  public:
    explicit BlockCursor(std::span<const ScheduledEvent> events) : events(events) {}

    template <typename Visitor>
    void forEachInBlock(std::int64_t blockStart, std::int32_t blockSize, Visitor&& visit)
    {
        const std::int64_t blockEnd = blockStart + blockSize;
        for (; next < events.size() && events[next].sample < blockEnd; ++next)
        {
            std::int64_t offset = events[next].sample - blockStart;
            visit(events[next].event, static_cast<std::int32_t>(offset < 0 ? 0 : offset));
        }
    }

    bool finished() const { return next >= events.size(); }

  private:
    std::span<const ScheduledEvent> events;
    std::size_t next = 0;
};

} // namespace Taviro::Render
