#pragma once

#include "GlobalParameterState.h"
#include "PendingParameterIds.h"

namespace Steinberg::Vst::TaviroPlugIn {

inline constexpr int32 kNumFactoryPrograms = 15;
inline constexpr int32 kFirstUserProgram = 15;
inline constexpr int32 kNumPrograms = kFirstUserProgram + kNumUserPrograms; // 19

// The 44 values a program writes into a channel.
struct ProgramSettings
{
    double masterVolume;
    int8 receiveNoteOff;
    OscillatorSettings oscillators[kNumOscillators];
};

extern const ProgramSettings kFactoryPrograms[kNumFactoryPrograms];
extern const ProgramSettings kDrumKit;

// Parameter offsets within a channel that a program change queues, in push order.
inline constexpr int32 kNumProgramParameters = 44;
extern const int32 kProgramParameterOffsets[kNumProgramParameters];

// Applies program[ch] to channel ch. When pending is given, the channel's 44 identifiers are
// queued on it for reporting, whatever the program number (an unknown number writes nothing).
void applyProgram(GlobalParameterState& state, int32 ch, PendingParameterIds* pending);

} // namespace Steinberg::Vst::TaviroPlugIn
