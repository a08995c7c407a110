// The MIDI file reader of taviro-render: bytes -> sequence -> sample positions. A file is either
// refused with a MidiFileError or read into events in time order, each at a sample no later than
// the song's end.
#include "FuzzCheck.h"
#include "tools/render/MidiFile.h"
#include "tools/render/MidiTiming.h"

#include <cstdint>

using namespace Taviro::Render;
using Taviro::Fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MidiSequence song;
    try
    {
        song = parseMidiFile({data, size});
    }
    catch (const MidiFileError&)
    {
        return 0;
    }
    require(song.format == 0 || song.format == 1, "only formats 0 and 1 are read");
    const TempoMap tempoMap(song, 48000);
    const std::int64_t songEnd = tempoMap.sampleAt(song.endTick);
    require(songEnd >= 0, "the song ends at a sample position");
    std::int64_t previous = 0;
    for (const ScheduledEvent& scheduled : scheduleEvents(song, tempoMap))
    {
        require(scheduled.event.tick <= song.endTick, "no event lies after the song's end tick");
        require(scheduled.sample >= previous && scheduled.sample <= songEnd, "events come in time order");
        require(scheduled.event.channel < 16 && scheduled.event.data1 < 128 && scheduled.event.data2 < 128,
                "channel messages carry a channel and 7-bit data");
        previous = scheduled.sample;
    }
    return 0;
}
