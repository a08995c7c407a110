#pragma once

#include <cstdint>
#include <vector>

namespace Taviro::Render
{

// The built-in demo song as a Standard MIDI File (format 1): about 45 seconds in A minor for
// piano, clean and muted electric guitar, synth bass, strings, pad, flute and drums, each part on
// its own MIDI channel with its own factory program, with pitch bend and mod wheel on the flute.
std::vector<std::uint8_t> demoSongMidiFile();

} // namespace Taviro::Render
