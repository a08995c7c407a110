#include "tools/render/MidiTranslator.h"

namespace Taviro::Render
{

MidiTranslator::MidiTranslator(ControllerAssignment assignment)
    : assignment(std::move(assignment)), sounding(static_cast<std::size_t>(channels * keysPerChannel))
{
}

std::optional<double> MidiTranslator::programValue(int channel, int program)
{
    if (channel == drumChannel)
        return 0.0; // the drum channel has the one program "Drums"
    if (program < 0 || program >= instrumentPrograms)
        return std::nullopt; // the instrument has no such program
    return (program + 0.5) / instrumentPrograms;
}

double MidiTranslator::pitchBendValue(int value)
{
    if (value <= 8192)
        return value / 16384.0;
    return 0.5 + (value - 8192) / 16382.0;
}

std::int32_t MidiTranslator::startNote(int channel, int pitch)
{
    std::int32_t id = nextNoteId;
    nextNoteId = nextNoteId == INT32_MAX ? 0 : nextNoteId + 1;
    if (channel < 0 || channel >= channels || pitch < 0 || pitch >= keysPerChannel)
        return id;
    HeldNotes& held = sounding[static_cast<std::size_t>(channel * keysPerChannel + pitch)];
    if (held.count == heldPerKey)
    {
        held.first = static_cast<std::uint8_t>((held.first + 1) % heldPerKey);
        --held.count;
    }
    held.ids[(held.first + held.count) % heldPerKey] = id;
    ++held.count;
    return id;
}

std::optional<std::int32_t> MidiTranslator::endNote(int channel, int pitch)
{
    if (channel < 0 || channel >= channels || pitch < 0 || pitch >= keysPerChannel)
        return std::nullopt;
    HeldNotes& held = sounding[static_cast<std::size_t>(channel * keysPerChannel + pitch)];
    if (held.count == 0)
        return std::nullopt;
    std::int32_t id = held.ids[held.first];
    held.first = static_cast<std::uint8_t>((held.first + 1) % heldPerKey);
    --held.count;
    return id;
}

} // namespace Taviro::Render
