#pragma once

#include "tools/render/MidiFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace Taviro::Render
{

// What a MIDI event becomes for a VST 3 instrument.
struct NoteCommand
{
    bool on;
    int channel;
    int pitch;
    float velocity; // 0..1
    std::int32_t noteId;
};

struct ParameterCommand
{
    std::uint32_t id;
    double value; // normalised
};

// Turns MIDI channel messages into what a VST 3 host sends: notes become note events with a
// note ID that pairs each note-off with its note-on (the oldest sounding note of that key and
// channel first); program changes become changes of the channel's program-change parameter;
// control changes, channel pressure and pitch bend become changes of whatever parameter the
// plug-in's MIDI controller mapping names, and are dropped where it names none.
// All storage is taken at construction, so translating never allocates and may run on an audio
// thread (provided `assignment` does neither).
class MidiTranslator
{
  public:
    // Answers the parameter that controller `controller` (0..127, 128 channel pressure, 129 pitch
    // bend) of `channel` drives, if any.
    using ControllerAssignment = std::function<std::optional<std::uint32_t>(int channel, int controller)>;

    static constexpr int channelPressureController = 128;
    static constexpr int pitchBendController = 129;
    static constexpr int drumChannel = 9;
    static constexpr int instrumentPrograms = 19;
    // Notes of one key and channel that can sound at once; beyond it the oldest is forgotten
    // (left to end by itself) to make room.
    static constexpr int heldPerKey = 8;

    explicit MidiTranslator(ControllerAssignment assignment);

    // Calls note(NoteCommand) or parameter(ParameterCommand) on `sink` for what `event` means.
    template <typename Sink> void translate(const MidiEvent& event, Sink& sink);

    // Note-offs for every note still sounding, as a host sends when playback stops.
    template <typename Sink> void releaseAll(Sink& sink);

    // Identifier of a channel's program-change parameter, and the normalised value that selects
    // `program` (the middle of its share of the range, so that rounding cannot pick a neighbour).
    static std::uint32_t programParameter(int channel) { return 49u * static_cast<unsigned>(channel) + 46u; }
    static std::optional<double> programValue(int channel, int program);
    // 14-bit pitch bend to a normalised value with the centre 8192 exactly at 0.5.
    static double pitchBendValue(int value);

  private:
    std::int32_t startNote(int channel, int pitch);
    std::optional<std::int32_t> endNote(int channel, int pitch);

    // The IDs of the sounding notes of one key and channel, oldest first, in a ring.
    struct HeldNotes
    {
        std::array<std::int32_t, heldPerKey> ids;
        std::uint8_t first = 0;
        std::uint8_t count = 0;
    };
    static constexpr int keysPerChannel = 128;
    static constexpr int channels = 16;

    ControllerAssignment assignment;
    std::vector<HeldNotes> sounding; // [channel * 128 + pitch]
    std::int32_t nextNoteId = 0;
};

template <typename Sink> void MidiTranslator::translate(const MidiEvent& event, Sink& sink)
{
    const int channel = event.channel;
    auto mapped = [&](int controller, double value)
    {
        if (auto id = assignment(channel, controller))
            sink.parameter(ParameterCommand{*id, value});
    };
    switch (event.type)
    {
    case MidiEventType::NoteOn:
        sink.note(
            NoteCommand{true, channel, event.data1, event.data2 / 127.0f, startNote(channel, event.data1)});
        break;
    case MidiEventType::NoteOff:
        // A note-off without its note-on is dropped: sent without an ID, the plug-in would take
        // the pitch for an ID and could end another note.
        if (auto id = endNote(channel, event.data1))
            sink.note(NoteCommand{false, channel, event.data1, event.data2 / 127.0f, *id});
        break;
    case MidiEventType::ProgramChange:
        if (auto value = programValue(channel, event.data1))
            sink.parameter(ParameterCommand{programParameter(channel), *value});
        break;
    case MidiEventType::ControlChange:
        mapped(event.data1, event.data2 / 127.0);
        break;
    case MidiEventType::ChannelPressure:
        mapped(channelPressureController, event.data1 / 127.0);
        break;
    case MidiEventType::PitchBend:
        mapped(pitchBendController, pitchBendValue(event.pitchBendValue()));
        break;
    case MidiEventType::PolyPressure:
    case MidiEventType::Tempo:
        break;
    }
}

template <typename Sink> void MidiTranslator::releaseAll(Sink& sink)
{
    for (std::size_t key = 0; key < sounding.size(); ++key)
    {
        HeldNotes& held = sounding[key];
        for (int i = 0; i < held.count; ++i)
            sink.note(NoteCommand{false, static_cast<int>(key) / keysPerChannel,
                                  static_cast<int>(key) % keysPerChannel, 0.0f,
                                  held.ids[(held.first + i) % heldPerKey]});
        held.count = 0;
    }
}

} // namespace Taviro::Render
