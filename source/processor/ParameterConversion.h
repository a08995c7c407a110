#pragma once

#include "source/state/GlobalParameterState.h"
#include "source/state/PendingParameterIds.h"

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Stores the host's normalised value v of channel parameter `id` into the state: list choices as
// their index (limited to the list), detune as -1..+1, pitch bend as a frequency divisor, the
// note-off switch as 0 or 1, everything else as received. While the channel plays a user program
// its sound settings go into that user program too. A program change applies the program and
// queues the channel's identifiers on `pending`. Identifiers above the channel parameters and
// values that are not finite change nothing. Answers whether the state was written.
bool applyParameterValue(GlobalParameterState& state, PendingParameterIds& pending, ParamID id,
                         ParamValue v);

// The normalised value reported to the host for a pending identifier, taken from the current
// state as the voices play it (a list index outside its list at the nearest end, a double outside
// 0..1 at the nearest end, not-a-number as 0), so the report is always within 0..1. False for
// identifiers that have nothing to report (mod wheel, pitch bend and the offsets after the
// note-off switch).
bool reportedParameterValue(const GlobalParameterState& state, ParamID id, ParamValue& value);

// The pitch-bend divisor for a normalised bend position: 1.0 at the centre, +-1 semitone at the ends.
double pitchBendDivisor(ParamValue v);

} // namespace Steinberg::Vst::TaviroPlugIn
