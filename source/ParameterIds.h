#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// The identifier layout shared by processor, controller and editor: 49 parameters per channel,
// 14 per oscillator, then the global voice count and editor channel selector.
namespace Steinberg::Vst::TaviroPlugIn {

inline constexpr int32 kParametersPerChannel = 49;
inline constexpr int32 kParametersPerOscillator = 14;

// Offsets within an oscillator's block of 14.
enum OscillatorParameter : int32
{
    kOscType = 0,
    kOscMultiSample,
    kOscVolume,
    kOscDetune,
    kOscRetardTime,
    kOscFilterType,
    kOscFilterFrequency,
    kOscFilterQ,
    kOscOctave,
    kOscAttackTime,
    kOscDecayTime,
    kOscSustainLevel,
    kOscSustainTime,
    kOscReleaseTime,
};

// Offsets within a channel after the three oscillator blocks.
enum ChannelParameter : int32
{
    kMasterVolume = 42,
    kModWheel,
    kPitchBend,
    kReceiveNoteOff,
    kProgramChange,
    kMainVolume,
    kPanorama,
};

inline constexpr ParamID kNumChannelParameterIds = 784;
inline constexpr ParamID kActiveVoicesId = 784;
inline constexpr ParamID kEditorChannelSelectorId = 785;
inline constexpr int32 kNumParameters = 786;

constexpr ParamID channelParameterId(int32 channel, int32 offset)
{
    return static_cast<ParamID>(kParametersPerChannel * channel + offset);
}

constexpr int32 oscillatorParameterOffset(int32 oscillator, int32 field)
{
    return kParametersPerOscillator * oscillator + field;
}

} // namespace Steinberg::Vst::TaviroPlugIn
