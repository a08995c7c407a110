#include "tools/render/MidiTiming.h"

#include <algorithm>
#include <limits>

namespace Taviro::Render
{
namespace
{

constexpr std::uint32_t defaultMicrosecondsPerQuarter = 500000; // 120 beats per minute

// Rounds numerator / denominator to the nearest whole number (halves upward). A quotient beyond
// 64 bits (a file of huge delta times at a slow tempo) saturates: such a song reads as far too
// long, never as one that ends before it starts.
std::int64_t roundedQuotient(unsigned __int128 numerator, unsigned __int128 denominator)
{
    const unsigned __int128 quotient = (2 * numerator + denominator) / (2 * denominator);
    constexpr auto largest = std::numeric_limits<std::int64_t>::max();
    return quotient > static_cast<unsigned __int128>(largest) ? largest : static_cast<std::int64_t>(quotient);
}

} // namespace

TempoMap::TempoMap(const MidiSequence& sequence, int sampleRate)
    : division(sequence.division), sampleRate(sampleRate)
{
    segments.push_back({0, defaultMicrosecondsPerQuarter, 0});
    for (const MidiEvent& event : sequence.events)
    {
        if (event.type != MidiEventType::Tempo)
            continue;
        unsigned __int128 elapsed = elapsedAt(event.tick);
        if (segments.back().tick == event.tick)
            segments.back().microsecondsPerQuarter = event.microsecondsPerQuarter; // the later one wins
        else
            segments.push_back({event.tick, event.microsecondsPerQuarter, elapsed});
    }
}

unsigned __int128 TempoMap::elapsedAt(std::uint64_t tick) const
{
    auto after = std::upper_bound(segments.begin(), segments.end(), tick,
                                  [](std::uint64_t t, const Segment& s) { return t < s.tick; });
    const Segment& segment = *(after - 1);
    return segment.elapsed +
           static_cast<unsigned __int128>(tick - segment.tick) * segment.microsecondsPerQuarter;
}

std::int64_t TempoMap::sampleAt(std::uint64_t tick) const
{
    const unsigned __int128 rate = static_cast<unsigned>(sampleRate);
    if (division.isSmpte())
    {
        // 29 frames per second is the drop-frame rate 30000/1001.
        unsigned __int128 framesNumerator = division.framesPerSecond == 29 ? 30000 : division.framesPerSecond;
        unsigned __int128 framesDenominator = division.framesPerSecond == 29 ? 1001 : 1;
        return roundedQuotient(tick * rate * framesDenominator,
                               framesNumerator * static_cast<unsigned>(division.ticksPerFrame));
    }
    return roundedQuotient(elapsedAt(tick) * rate,
                           static_cast<unsigned __int128>(division.ticksPerQuarter) * 1000000u);
}

double TempoMap::secondsAt(std::uint64_t tick) const
{
    return static_cast<double>(sampleAt(tick)) / sampleRate;
}

std::vector<ScheduledEvent> scheduleEvents(const MidiSequence& sequence, const TempoMap& tempoMap)
{
    std::vector<ScheduledEvent> scheduled;
    scheduled.reserve(sequence.events.size());
    for (const MidiEvent& event : sequence.events)
        if (event.type != MidiEventType::Tempo)
            scheduled.push_back({tempoMap.sampleAt(event.tick), event});
    return scheduled;
}

} // namespace Taviro::Render
