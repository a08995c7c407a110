// Mirroring the processor's stored sound settings into the controller's parameters.
#include "Controller.h"
#include "source/ParameterIds.h"
#include "source/state/StateValues.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// The order in which a channel's parameters are set; the four controller-driven values
// (43, 44, 47, 48) are not in the stream and keep their values.
constexpr int32 kRestoreOrder[] = {
    42, 9,  10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40, 41, 4,  18, 32, 2,  16, 30, 3,
    17, 31, 5,  6,  7,  19, 20, 21, 33, 34, 35, 0,  14, 28, 8,  22, 36, 45, 1,  15, 29, 46,
};

struct StoredValue
{
    double value;
    bool isListIndex; // a list index still to be normalised by its parameter
};

StoredValue oscillatorValue(const OscillatorSettings& osc, int32 field)
{
    switch (field)
    {
    case kOscType:
        return {double(osc.type), true};
    case kOscMultiSample:
        return {double(osc.multiSample), true};
    case kOscVolume:
        return {osc.volume, false};
    case kOscDetune:
        return {(osc.detune + 1.0) * 0.5, false}; // stored bipolar -1..+1
    case kOscRetardTime:
        return {osc.retardTime, false};
    case kOscFilterType:
        return {double(osc.filterType), true};
    case kOscFilterFrequency:
        return {osc.filterFrequency, false};
    case kOscFilterQ:
        return {osc.filterQ, false};
    case kOscOctave:
        return {double(osc.octave), true};
    case kOscAttackTime:
        return {osc.attackTime, false};
    case kOscDecayTime:
        return {osc.decayTime, false};
    case kOscSustainLevel:
        return {osc.sustainLevel, false};
    case kOscSustainTime:
        return {osc.sustainTime, false};
    default:
        return {osc.releaseTime, false};
    }
}

// The stream keeps every value as read; the controller shows what the voices play for it: a
// list index or double outside its range at the nearest end, not-a-number as 0 (no detune).
StoredValue storedValue(const GlobalParameterState& state, int32 ch, int32 offset)
{
    switch (offset)
    {
    case kMasterVolume:
        return {unitValue(state.masterVolume[ch]), false};
    case kReceiveNoteOff:
        return {double(noteOffSwitch(state.receiveNoteOff[ch])), false};
    case kProgramChange:
        return {double(state.program[ch]), true};
    default:
        return oscillatorValue(playedSettings(state.oscillators[ch][offset / kParametersPerOscillator]),
                               offset % kParametersPerOscillator);
    }
}

} // namespace

tresult PLUGIN_API Controller::setComponentState(IBStream* state)
{
    if (!state)
        return kResultFalse;
    // The whole stream is read and validated first, so a short stream changes nothing.
    GlobalParameterState read{};
    const tresult result = read.setState(state);
    if (result != kResultOk)
        return result;
    applyComponentState(read);
    return kResultOk;
}

void Controller::applyComponentState(const GlobalParameterState& state)
{
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        for (int32 offset : kRestoreOrder)
        {
            const ParamID id = channelParameterId(ch, offset);
            const StoredValue stored = storedValue(state, ch, offset);
            // A program number outside its list lands on the nearest end.
            const double normalized = stored.isListIndex
                                          ? std::clamp(plainParamToNormalized(id, stored.value), 0.0, 1.0)
                                          : stored.value;
            setParamNormalized(id, normalized);
        }
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
