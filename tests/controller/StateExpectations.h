#pragma once

#include "source/processor/GlobalParameterState.h"

// What the controller's parameters must read after it has been given a processor state.
namespace Taviro::Test {

// Entries of the list parameters: type, multi sample, filter type, octave, program.
inline constexpr double kTypeSteps = 6, kMultiSampleSteps = 7, kFilterSteps = 3, kOctaveSteps = 16,
                        kProgramSteps = 18;

// What each parameter of a channel must read after the state is restored.
inline double expectedValue(const Steinberg::Vst::TaviroPlugIn::GlobalParameterState& state,
                            Steinberg::int32 ch, Steinberg::int32 k)
{
    if (k < 42)
    {
        const Steinberg::Vst::TaviroPlugIn::OscillatorSettings& osc = state.oscillators[ch][k / 14];
        switch (k % 14)
        {
        case 0:
            return osc.type / kTypeSteps;
        case 1:
            return osc.multiSample / kMultiSampleSteps;
        case 2:
            return osc.volume;
        case 3:
            return (osc.detune + 1.0) / 2.0;
        case 4:
            return osc.retardTime;
        case 5:
            return osc.filterType / kFilterSteps;
        case 6:
            return osc.filterFrequency;
        case 7:
            return osc.filterQ;
        case 8:
            return osc.octave / kOctaveSteps;
        case 9:
            return osc.attackTime;
        case 10:
            return osc.decayTime;
        case 11:
            return osc.sustainLevel;
        case 12:
            return osc.sustainTime;
        default:
            return osc.releaseTime;
        }
    }
    switch (k)
    {
    case 42:
        return state.masterVolume[ch];
    case 45:
        return state.receiveNoteOff[ch];
    default:
        return ch == 9 ? 0.0 : state.program[ch] / kProgramSteps;
    }
}

inline bool carriedByStream(Steinberg::int32 k)
{
    return k != 43 && k != 44 && k != 47 && k != 48;
}

} // namespace Taviro::Test
