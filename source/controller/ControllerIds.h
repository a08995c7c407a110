#pragma once

#include "pluginterfaces/vst/ivstnoteexpression.h"
#include "pluginterfaces/vst/vsttypes.h"

// Identifiers the controller gives its units, program lists and note expression types.
namespace Steinberg::Vst::TaviroPlugIn {

// "ch" followed by the two decimal digits of the channel index, most significant byte first:
// channel index 0 is 0x63683030, index 15 is 0x63683135.
constexpr UnitID channelUnitId(int32 channel)
{
    return static_cast<UnitID>((uint32('c') << 24) | (uint32('h') << 16) | (uint32('0' + channel / 10) << 8) |
                               uint32('0' + channel % 10));
}

// Per-note pan and volume of each channel; the processor decodes the channel from these too.
inline constexpr NoteExpressionTypeID kPanNoteExpressionBase = kCustomStart;         // + channel
inline constexpr NoteExpressionTypeID kVolumeNoteExpressionBase = kCustomStart + 16; // + channel

} // namespace Steinberg::Vst::TaviroPlugIn
