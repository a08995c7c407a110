#pragma once

#include "pluginterfaces/base/ftypes.h"
#include "pluginterfaces/base/funknown.h"

namespace Steinberg {
class IBStream;
}

namespace Steinberg::Vst::TaviroPlugIn {

inline constexpr int32 kNumChannels = 16;
inline constexpr int32 kNumOscillators = 3;
inline constexpr int32 kNumUserPrograms = 4;
inline constexpr int32 kDrumChannel = 9;

// The settings of one oscillator. Doubles hold normalised values unless noted.
struct OscillatorSettings
{
    int8 type;            // 0 Off, 1 Sinus, 2 Triangle, 3 Square, 4 Saw, 5 White noise, 6 Multi Sample
    double volume;
    double attackTime;
    double decayTime;
    double sustainLevel;
    double sustainTime;
    double releaseTime;
    double detune;        // bipolar -1..+1
    double retardTime;
    int8 octave;          // index 0..16 into "8" .. "-8"; shift in octaves is 8 - index
    double filterFrequency;
    double filterQ;
    int8 filterType;      // 0 Off, 1 Lowpass, 2 Highpass, 3 Bandpass
    int8 multiSample;     // 0 Off, 1..7 a multi-sample set

    bool operator==(const OscillatorSettings&) const = default;
};

// One of the four shared user programs ("USER 1" .. "USER 4").
struct UserProgram
{
    double masterVolume;
    OscillatorSettings oscillators[kNumOscillators];
    int8 receiveNoteOff;

    bool operator==(const UserProgram&) const = default;
};

// Every sound setting of the 16 channels and the four user programs. A plain value:
// no pointers, no owned memory, copyable as a whole.
struct GlobalParameterState
{
    double masterVolume[kNumChannels];
    OscillatorSettings oscillators[kNumChannels][kNumOscillators];
    double modWheel[kNumChannels];     // not persisted
    double pitchBend[kNumChannels];    // frequency divisor, 1.0 at the centre; not persisted
    double mainVolume[kNumChannels];   // not persisted
    double panorama[kNumChannels];     // not persisted
    int8 receiveNoteOff[kNumChannels];
    int8 program[kNumChannels];        // 0..18; always 0 on the drum channel
    UserProgram userPrograms[kNumUserPrograms];

    // Writes the persistent part in the little-endian 5244-byte format.
    tresult getState(IBStream* stream) const;
    // Reads the same format; stops at the first short read (fields read so far keep their new values).
    tresult setState(IBStream* stream);

    bool operator==(const GlobalParameterState&) const = default;
};

// Byte length of the stream that getState writes.
inline constexpr int32 kStateStreamSize = 5244;

// The contents a new processor starts with: user programs at their defaults and program 0 on
// every channel (applied without notification).
void setInitialContents(GlobalParameterState& state);

} // namespace Steinberg::Vst::TaviroPlugIn
