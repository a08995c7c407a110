#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Taviro::Render
{

// Builds a Standard MIDI File of format 1 in memory. Events are given at absolute ticks in any
// order; each track is sorted (stably) and delta-encoded when the file is built.
class SmfWriter
{
  public:
    explicit SmfWriter(int ticksPerQuarter) : ticksPerQuarter(ticksPerQuarter) {}

    // Starts a new track; the events that follow go into it. Answers the track's index.
    int addTrack(const std::string& name);

    void tempo(std::uint64_t tick, double beatsPerMinute);
    void timeSignature(std::uint64_t tick, int numerator, int denominatorPowerOfTwo);
    void note(std::uint64_t tick, std::uint64_t length, int channel, int key, int velocity);
    void controlChange(std::uint64_t tick, int channel, int controller, int value);
    void programChange(std::uint64_t tick, int channel, int program);
    // value 0..16383, 8192 is the centre.
    void pitchBend(std::uint64_t tick, int channel, int value);

    std::vector<std::uint8_t> build() const;

  private:
    struct Event
    {
        std::uint64_t tick;
        std::vector<std::uint8_t> bytes; // status and data, or FF type length data for meta events
    };

    void add(std::uint64_t tick, std::vector<std::uint8_t> bytes);

    int ticksPerQuarter;
    std::vector<std::vector<Event>> tracks;
};

} // namespace Taviro::Render
