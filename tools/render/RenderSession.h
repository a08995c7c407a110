#pragma once

#include "tools/render/HostedPlugin.h"
#include "tools/render/MidiTiming.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace Taviro::Render
{

// One processed block as doubles: the stereo output of every bus, and their sum.
struct RenderedBlock
{
    int frames = 0;
    std::vector<std::vector<double>> busLeft, busRight; // [bus][frame]
    std::vector<double> mixLeft, mixRight;
};

struct RenderSettings
{
    ProcessingSetup setup;
    std::int64_t tailLimitSamples = 0; // how long after the song's end to wait for voices to end
};

struct RenderStatistics
{
    std::int64_t frames = 0;
    double peak = 0;      // of the mix
    bool tailCut = false; // voices still sounded when the tail limit was reached
    std::int64_t droppedEvents = 0;
};

class Interrupted : public std::runtime_error
{
  public:
    Interrupted() : std::runtime_error("interrupted") {}
};

// Plays scheduled MIDI events through a hosted plug-in block by block and hands every block to
// `consume`. Notes still held at `songEnd` are released there. The render goes on until the song
// has ended and the plug-in reports that no voice sounds (output parameter 784, the voice count
// over 128), or until the tail limit. Parameter changes, the ones sent and the ones the processor
// reports back, are also given to the controller, as a host keeps its controller in step.
RenderStatistics renderSong(HostedPlugin& plugin, std::span<const ScheduledEvent> events,
                            std::int64_t songEnd, const RenderSettings& settings,
                            const std::function<void(const RenderedBlock&)>& consume,
                            const std::function<void(std::int64_t position)>& progress,
                            const std::atomic<bool>& stopRequested);

} // namespace Taviro::Render
