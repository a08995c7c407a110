#pragma once

#include "MidiControllerTable.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Adds a channel's 48 parameters other than its program change, in the order hosts list them,
// and fills the channel's row of the MIDI controller table on the way.
void addChannelParameters(ParameterContainer& parameters, int32 channel,
                          MidiControllerTable::value_type& midiControllers);

// Adds the voice count (784) and the editor's channel selector (785).
void addGlobalParameters(ParameterContainer& parameters);

} // namespace Steinberg::Vst::TaviroPlugIn
