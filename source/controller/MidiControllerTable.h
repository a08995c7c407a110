#pragma once

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/vsttypes.h"
#include "source/state/GlobalParameterState.h"

#include <array>

namespace Steinberg::Vst::TaviroPlugIn {

// Control change numbers 0..127, then channel aftertouch (128) and pitch bend (129).
inline constexpr int32 kNumMidiControllers = ControllerNumbers::kPitchBend + 1;

// The parameter each MIDI controller of each channel drives, kNoParamId for none;
// indexed [MIDI channel][controller number].
using MidiControllerTable = std::array<std::array<ParamID, kNumMidiControllers>, kNumChannels>;

} // namespace Steinberg::Vst::TaviroPlugIn
