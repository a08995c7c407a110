#pragma once

#include "Utf16.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Entry texts of the list parameters, in index order.
inline constexpr const char* kOscillatorTypeNames[] = {
    "Off", "Sinus", "Triangle (aliased)", "Square (aliased)", "Saw (aliased)", "White noise", "Multi Sample",
};
inline constexpr const char* kMultiSampleNames[] = {
    "Off",
    "E-Guitar clean",
    "Piano",
    "Drum Set",
    "Saw anti-aliased",
    "Triangle anti-aliased",
    "Square anti-aliased",
    "Muted E-Guitar",
};
inline constexpr const char* kFilterTypeNames[] = {"Off", "Lowpass", "Highpass", "Bandpass"};
// From the highest octave down: index 8 is no shift.
inline constexpr const char* kOctaveNames[] = {
    "8", "7", "6", "5", "4", "3", "2", "1", "0", "-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8",
};
inline constexpr const char* kMidiChannelNames[] = {
    "MIDI channel 1",  "MIDI channel 2",  "MIDI channel 3",  "MIDI channel 4",
    "MIDI channel 5",  "MIDI channel 6",  "MIDI channel 7",  "MIDI channel 8",
    "MIDI channel 9",  "MIDI channel 10", "MIDI channel 11", "MIDI channel 12",
    "MIDI channel 13", "MIDI channel 14", "MIDI channel 15", "MIDI channel 16",
};

// A list parameter with the given entries; its step count ends as entries - 1, default index 0.
template <size_t N>
StringListParameter* makeStringList(const TChar* title, ParamID id, int32 flags, UnitID unit,
                                    const char* const (&entries)[N])
{
    auto* list = new StringListParameter(title, id, nullptr, flags, unit);
    for (const char* entry : entries)
        list->appendString(utf16(entry).c_str());
    return list;
}

} // namespace Steinberg::Vst::TaviroPlugIn
