#include "tools/play/MidiMessage.h"

namespace Taviro::Play {

using Render::MidiEvent;
using Render::MidiEventType;

std::optional<MidiEvent> parseMidiMessage(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size == 0 || bytes[0] < 0x80 || bytes[0] >= 0xF0)
        return std::nullopt;
    static constexpr MidiEventType types[] = {
        MidiEventType::NoteOff,       MidiEventType::NoteOn,        MidiEventType::PolyPressure,
        MidiEventType::ControlChange, MidiEventType::ProgramChange, MidiEventType::ChannelPressure,
        MidiEventType::PitchBend,
    };
    MidiEvent event;
    event.type = types[(bytes[0] >> 4) - 8];
    event.channel = bytes[0] & 0x0F;
    const bool oneDataByte =
        event.type == MidiEventType::ProgramChange || event.type == MidiEventType::ChannelPressure;
    const std::size_t dataBytes = oneDataByte ? 1 : 2;
    if (size < 1 + dataBytes)
        return std::nullopt;
    for (std::size_t i = 1; i <= dataBytes; ++i)
        if (bytes[i] >= 0x80)
            return std::nullopt;
    event.data1 = bytes[1];
    event.data2 = oneDataByte ? 0 : bytes[2];
    if (event.type == MidiEventType::NoteOn && event.data2 == 0)
        event.type = MidiEventType::NoteOff;
    return event;
}

} // namespace Taviro::Play
