#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The root unit, then one unit per MIDI channel, each pointing at its channel's program list.
void addUnits(EditControllerEx1& controller);

// The instrument program lists of channels 1..9 and 11..16, then the drum list of channel 10;
// each list's program-change parameter is added right after its list.
void addProgramLists(EditControllerEx1& controller, ParameterContainer& parameters);

} // namespace Steinberg::Vst::TaviroPlugIn
