#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace Taviro::Render
{

// Why a Standard MIDI File could not be read; the message names the place in the file.
class MidiFileError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

enum class MidiEventType : std::uint8_t
{
    NoteOff,
    NoteOn,
    PolyPressure,
    ControlChange,
    ProgramChange,
    ChannelPressure,
    PitchBend,
    Tempo,
};

// One event of the file that playback cares about. Channel messages carry their channel (0..15)
// and data bytes; a note-on with velocity 0 arrives here already as a note-off. A pitch bend's
// 14-bit value is `data1 | data2 << 7`. A tempo change carries microseconds per quarter note.
struct MidiEvent
{
    std::uint64_t tick = 0;
    MidiEventType type = MidiEventType::NoteOn;
    std::uint8_t channel = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t microsecondsPerQuarter = 0;
    std::uint16_t track = 0;

    int pitchBendValue() const { return data1 | (data2 << 7); }
};

// The file's time base: ticks per quarter note, or SMPTE frames per second and ticks per frame
// (framesPerSecond 29 stands for 29.97 drop-frame).
struct MidiDivision
{
    int ticksPerQuarter = 480;
    int framesPerSecond = 0;
    int ticksPerFrame = 0;

    bool isSmpte() const { return framesPerSecond != 0; }
};

// A whole file with its tracks merged into one time-ordered list. Events at the same tick keep
// the order of their tracks in the file and, within a track, their order in the track.
struct MidiSequence
{
    int format = 0;
    int trackCount = 0;
    MidiDivision division;
    std::vector<MidiEvent> events;
    // The latest tick any track reaches, its end-of-track event included.
    std::uint64_t endTick = 0;
};

// Reads a Standard MIDI File of format 0 or 1 from memory. System exclusive events and meta events
// other than tempo are skipped, running status is honoured, chunks other than tracks are ignored.
// Truncated or malformed input throws MidiFileError; nothing is read outside `bytes`.
MidiSequence parseMidiFile(std::span<const std::uint8_t> bytes);

// Reads the file at `path`; a file that cannot be opened or read throws MidiFileError too.
MidiSequence readMidiFile(const std::string& path);

} // namespace Taviro::Render
