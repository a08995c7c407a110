#include "tools/render/MidiTranslator.h"

namespace Taviro::Render
{

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
    sounding[{channel, pitch}].push_back(id);
    return id;
}

std::optional<std::int32_t> MidiTranslator::endNote(int channel, int pitch)
{
    auto found = sounding.find({channel, pitch});
    if (found == sounding.end() || found->second.empty())
        return std::nullopt;
    std::int32_t id = found->second.front();
    found->second.pop_front();
    return id;
}

} // namespace Taviro::Render
