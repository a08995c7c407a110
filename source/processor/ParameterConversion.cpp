#include "ParameterConversion.h"

#include "source/state/InstrumentPrograms.h"
#include "source/state/StateValues.h"
#include "source/ParameterIds.h"

#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

constexpr int32 kNumOscillatorTypes = 7;
constexpr int32 kNumMultiSampleChoices = 8;
constexpr int32 kNumFilterTypes = 4;
constexpr int32 kNumOctaves = 17;

// trunc(v * entries), limited to the list. Values below the list's start (the host is not
// supposed to send them) take the first entry rather than a negative index.
int8 listIndex(ParamValue v, int32 entries)
{
    const double index = std::trunc(v * entries);
    if (index >= entries - 1)
        return static_cast<int8>(entries - 1);
    if (index <= 0.0)
        return 0;
    return static_cast<int8>(index);
}

void setOscillatorField(OscillatorSettings& osc, int32 field, ParamValue v)
{
    switch (field)
    {
        case kOscType: osc.type = listIndex(v, kNumOscillatorTypes); break;
        case kOscMultiSample: osc.multiSample = listIndex(v, kNumMultiSampleChoices); break;
        case kOscVolume: osc.volume = v; break;
        case kOscDetune: osc.detune = (v - 0.5) * 2.0; break;
        case kOscRetardTime: osc.retardTime = v; break;
        case kOscFilterType: osc.filterType = listIndex(v, kNumFilterTypes); break;
        case kOscFilterFrequency: osc.filterFrequency = v; break;
        case kOscFilterQ: osc.filterQ = v; break;
        case kOscOctave: osc.octave = listIndex(v, kNumOctaves); break;
        case kOscAttackTime: osc.attackTime = v; break;
        case kOscDecayTime: osc.decayTime = v; break;
        case kOscSustainLevel: osc.sustainLevel = v; break;
        case kOscSustainTime: osc.sustainTime = v; break;
        case kOscReleaseTime: osc.releaseTime = v; break;
        default: break;
    }
}

ParamValue oscillatorFieldValue(const OscillatorSettings& osc, int32 field)
{
    switch (field)
    {
        case kOscType: return osc.type / 7.0;
        case kOscMultiSample: return osc.multiSample * 0.125;
        case kOscVolume: return osc.volume;
        case kOscDetune: return (osc.detune + 1.0) * 0.5;
        case kOscRetardTime: return osc.retardTime;
        case kOscFilterType: return osc.filterType * 0.25;
        case kOscFilterFrequency: return osc.filterFrequency;
        case kOscFilterQ: return osc.filterQ;
        case kOscOctave: return osc.octave / 17.0;
        case kOscAttackTime: return osc.attackTime;
        case kOscDecayTime: return osc.decayTime;
        case kOscSustainLevel: return osc.sustainLevel;
        case kOscSustainTime: return osc.sustainTime;
        case kOscReleaseTime: return osc.releaseTime;
        default: return 0.0;
    }
}

// The user program that channel ch plays, or null (factory program, or the drum channel).
UserProgram* playedUserProgram(GlobalParameterState& state, int32 ch)
{
    const int32 program = state.program[ch];
    if (ch == kDrumChannel || program < kFirstUserProgram || program >= kNumPrograms)
        return nullptr;
    return &state.userPrograms[program - kFirstUserProgram];
}

} // namespace

double pitchBendDivisor(ParamValue v)
{
    // The exponential is rounded to single precision before the division.
    const float e = static_cast<float>(std::exp((v - 0.5) * 8192.0 * 1.4102e-05));
    return 1.0 / static_cast<double>(e);
}

bool applyParameterValue(GlobalParameterState& state, PendingParameterIds& pending, ParamID id, ParamValue v)
{
    if (id >= kNumChannelParameterIds || !std::isfinite(v))
        return false;
    const int32 ch = static_cast<int32>(id) / kParametersPerChannel;
    const int32 k = static_cast<int32>(id) % kParametersPerChannel;
    UserProgram* user = playedUserProgram(state, ch);

    if (k < kMasterVolume)
    {
        const int32 o = k / kParametersPerOscillator;
        const int32 field = k % kParametersPerOscillator;
        setOscillatorField(state.oscillators[ch][o], field, v);
        if (user)
            setOscillatorField(user->oscillators[o], field, v);
        return true;
    }

    switch (k)
    {
        case kMasterVolume:
            state.masterVolume[ch] = v;
            if (user)
                user->masterVolume = v;
            break;
        case kModWheel: state.modWheel[ch] = v; break;
        case kPitchBend: state.pitchBend[ch] = pitchBendDivisor(v); break;
        case kReceiveNoteOff:
            state.receiveNoteOff[ch] = v >= 0.5 ? 1 : 0;
            if (user)
                user->receiveNoteOff = state.receiveNoteOff[ch];
            break;
        case kProgramChange:
            state.program[ch] = ch == kDrumChannel ? 0 : listIndex(v, kNumPrograms);
            applyProgram(state, ch, &pending);
            break;
        case kMainVolume: state.mainVolume[ch] = v; break;
        case kPanorama: state.panorama[ch] = v; break;
        default: return false;
    }
    return true;
}

bool reportedParameterValue(const GlobalParameterState& state, ParamID id, ParamValue& value)
{
    if (id >= kNumChannelParameterIds)
        return false;
    const int32 ch = static_cast<int32>(id) / kParametersPerChannel;
    const int32 k = static_cast<int32>(id) % kParametersPerChannel;
    // A restored state may hold anything; the host learns what the voices play.
    if (k < kMasterVolume)
    {
        value = oscillatorFieldValue(playedSettings(state.oscillators[ch][k / kParametersPerOscillator]),
                                     k % kParametersPerOscillator);
        return true;
    }
    if (k == kMasterVolume)
    {
        value = unitValue(state.masterVolume[ch]);
        return true;
    }
    if (k == kReceiveNoteOff)
    {
        value = noteOffSwitch(state.receiveNoteOff[ch]);
        return true;
    }
    return false;
}

} // namespace Steinberg::Vst::TaviroPlugIn
