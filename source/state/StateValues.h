#pragma once

#include "GlobalParameterState.h"

#include "pluginterfaces/base/ftypes.h"

#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn {

// A restored state is stored as read, so any of its values may lie outside its range. The voice
// reads every value through these, so that no list index leaves its list and no normalised value
// leaves 0..1: each out-of-range value counts as the nearest value of its range. The processor's
// reports and the controller read stored values the same way, so both show what the voices play.

inline constexpr int32 kOscillatorOff = 0;
inline constexpr int32 kOscillatorSinus = 1;
inline constexpr int32 kOscillatorTriangle = 2;
inline constexpr int32 kOscillatorSquare = 3;
inline constexpr int32 kOscillatorSaw = 4;
inline constexpr int32 kOscillatorWhiteNoise = 5;
inline constexpr int32 kOscillatorMultiSample = 6;

inline constexpr int32 kFilterOff = 0;
inline constexpr int32 kFilterBandpass = 3;

inline constexpr int32 kMultiSampleOff = 0;
inline constexpr int32 kMultiSampleLast = 7; // "Muted E-Guitar"

inline constexpr int32 kOctaveHighest = 0;  // "8"
inline constexpr int32 kOctaveNoShift = 8;  // "0"
inline constexpr int32 kOctaveLowest = 16;  // "-8"

inline int32 clampedIndex(int32 value, int32 lowest, int32 highest)
{
    return value < lowest ? lowest : (value > highest ? highest : value);
}

inline int32 oscillatorType(int8 stored)
{
    return clampedIndex(stored, kOscillatorOff, kOscillatorMultiSample);
}
inline int32 filterType(int8 stored) { return clampedIndex(stored, kFilterOff, kFilterBandpass); }
inline int32 octaveIndex(int8 stored) { return clampedIndex(stored, kOctaveHighest, kOctaveLowest); }
inline int32 multiSampleChoice(int8 stored) { return clampedIndex(stored, kMultiSampleOff, kMultiSampleLast); }

// Normalised value in 0..1; not-a-number counts as 0.
inline double unitValue(double v) { return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0; }
// Detune in -1..+1; not-a-number counts as no detune.
inline double bipolarValue(double v) { return v > -1.0 ? (v < 1.0 ? v : 1.0) : (v <= -1.0 ? -1.0 : 0.0); }
// A frequency divisor that is not a positive number counts as the centre.
inline double safePitchBendDivisor(double v) { return v > 0.0 && std::isfinite(v) ? v : 1.0; }
// The note-off switch: any stored value but 0 means the notes obey their note-offs.
inline int8 noteOffSwitch(int8 stored) { return stored != 0 ? 1 : 0; }

// An oscillator's stored settings as the voices play them.
inline OscillatorSettings playedSettings(const OscillatorSettings& stored)
{
    OscillatorSettings played = stored;
    played.type = static_cast<int8>(oscillatorType(stored.type));
    played.multiSample = static_cast<int8>(multiSampleChoice(stored.multiSample));
    played.filterType = static_cast<int8>(filterType(stored.filterType));
    played.octave = static_cast<int8>(octaveIndex(stored.octave));
    played.detune = bipolarValue(stored.detune);
    for (double* v : {&played.volume, &played.attackTime, &played.decayTime, &played.sustainLevel,
                      &played.sustainTime, &played.releaseTime, &played.retardTime, &played.filterFrequency,
                      &played.filterQ})
        *v = unitValue(*v);
    return played;
}

} // namespace Steinberg::Vst::TaviroPlugIn
