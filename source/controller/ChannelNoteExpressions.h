#pragma once

#include "public.sdk/source/vst/vstnoteexpressiontypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Per-note volume of channels 1..16 (container positions 0..15), then per-note pan
// (positions 16..31).
void addChannelNoteExpressions(NoteExpressionTypeContainer& container);

} // namespace Steinberg::Vst::TaviroPlugIn
