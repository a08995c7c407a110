#pragma once

#include "tools/render/MidiFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace Taviro::Play {

// One complete channel message as a live MIDI port delivers it (status byte first, no running
// status). System messages, incomplete messages and data bytes out of range give nothing; a
// note-on with velocity 0 becomes a note-off, as in a MIDI file.
std::optional<Render::MidiEvent> parseMidiMessage(const std::uint8_t* bytes, std::size_t size);

} // namespace Taviro::Play
