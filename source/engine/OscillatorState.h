#pragma once

#include "BiquadFilter.h"
#include "Envelope.h"
#include "SampleFrames.h"
#include "SmoothedValue.h"

namespace Steinberg::Vst::TaviroPlugIn {

// Everything one oscillator of a voice keeps between samples: its waveform or sample playback
// position, its smoothed filter with the two filters it drives, and its envelope.
template <typename T>
struct OscillatorState
{
    int32 type = 0;
    double volume = 0.0;

    // Generated waveforms: phase is a function of the voice's sample counter; the offsets keep it
    // continuous when the frequency changes.
    double detuneAmount = 0.0;
    double radianIncrement = -1.0;
    double cycleIncrement = -1.0;
    T radianPhaseOffset = T(0);
    T cyclePhaseOffset = T(0);

    // Sample playback; the position is re-based whenever the rate changes.
    int32 setIndex = -1;
    int32 zoneIndex = -1;
    double rateRatio = 1.0;
    int32 sampleFormat = 0;
    double currentRate = -1.0;
    double targetRate = 1.0;
    double positionOffset = 0.0;
    int64 positionBase = 0;
    bool finished = false;
    double sampleRateRatio = 1.0; // voice sample rate / recording sample rate
    SampleFrames frames;

    // Filter, with frequency and resonance smoothed towards the channel's settings.
    int32 filterType = 0; // 0 Off, 1 Lowpass, 2 Highpass, 3 Bandpass
    SmoothedValue filterFrequency{1.0, 1.0};
    SmoothedValue filterResonance;
    BiquadFilter leftFilter;
    BiquadFilter rightFilter;

    Envelope envelope;
};

} // namespace Steinberg::Vst::TaviroPlugIn
