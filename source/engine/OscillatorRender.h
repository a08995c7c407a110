#pragma once

#include "CatmullRom.h"
#include "OscillatorState.h"
#include "StateValues.h"
#include "WhiteNoise.h"
#include "source/common/LogScale.h"

#include <cmath>

// Block renderers of one oscillator: each writes `count` values (already scaled by the oscillator
// volume) for the sample counters n0, n0 + 1, ... The waveform is chosen once per call, never per
// sample.
namespace Steinberg::Vst::TaviroPlugIn {

template <typename T>
inline T scaledByVolume(double value, double volume)
{
    return static_cast<T>(value * volume);
}

// Cycle phase of the saw: in single precision the product and the offset are rounded as the float
// voice keeps them.
template <typename T>
inline double sawPhase(uint32 n, double increment, T offset)
{
    return static_cast<double>(static_cast<T>(static_cast<T>(n * increment) + offset));
}

template <typename T, int32 waveform>
void renderGenerated(OscillatorState<T>& osc, uint32 n0, int32 count, T* out)
{
    const double increment = osc.radianIncrement;
    const double offset = static_cast<double>(osc.radianPhaseOffset);
    for (int32 k = 0; k < count; ++k)
    {
        const uint32 n = n0 + static_cast<uint32>(k);
        T value;
        if constexpr (waveform == kOscillatorSaw)
        {
            const double p = sawPhase<T>(n, osc.cycleIncrement, osc.cyclePhaseOffset);
            value = static_cast<T>((p - std::floor(p + 0.5)) * 2.0);
        }
        else
        {
            const double s = std::sin(n * increment + offset);
            if constexpr (waveform == kOscillatorSinus)
                value = static_cast<T>(s);
            else if constexpr (waveform == kOscillatorTriangle)
                value = static_cast<T>((std::acos(s) - 1.5707963) / 1.5707963);
            else
                value = s >= 0.0 ? T(1) : T(-1);
        }
        out[k] = scaledByVolume<T>(value, osc.volume);
    }
}

template <typename T>
void renderWhiteNoise(OscillatorState<T>& osc, int32 count, T* out, WhiteNoise& noise)
{
    for (int32 k = 0; k < count; ++k)
    {
        const T value = static_cast<T>(noise.next()) / T(32767) * T(2) - T(1);
        out[k] = scaledByVolume<T>(value, osc.volume);
    }
}

// Sample playback with rate conversion, loops and four-point interpolation. `finished` receives the
// oscillator's finished flag as it stands after each step.
template <typename T, int32 format, bool stereo>
void renderMultiSample(OscillatorState<T>& osc, uint32 n0, int32 count, int32 retardLength, T* left, T* right,
                       uint8* finished)
{
    const SampleFrames& frames = osc.frames;
    bool isFinished = osc.finished;
    for (int32 k = 0; k < count; ++k)
    {
        const int64 n = static_cast<int64>(n0 + static_cast<uint32>(k));
        if (n < retardLength || osc.setIndex < 0)
        {
            left[k] = T(0);
            if constexpr (stereo)
                right[k] = T(0);
            if (osc.setIndex < 0)
                isFinished = true;
            finished[k] = isFinished;
            continue;
        }
        if (osc.currentRate == -1.0)
            osc.currentRate = osc.targetRate;
        if (osc.currentRate != osc.targetRate)
        {
            osc.positionOffset += static_cast<double>(n - retardLength - osc.positionBase) / osc.sampleRateRatio *
                                  osc.currentRate;
            osc.currentRate = osc.targetRate;
            osc.positionBase = static_cast<int32>(n - retardLength);
        }
        const double pos = static_cast<double>(n - retardLength - osc.positionBase) / osc.sampleRateRatio *
                               osc.currentRate +
                           osc.positionOffset;

        T l, r;
        if (!(pos >= 0.0 && pos < 1.8e19)) // a position no index can hold plays silence
        {
            l = r = T(0);
            isFinished = !frames.hasLoop;
        }
        else
        {
            const uint64 i = static_cast<uint64>(pos);
            if (static_cast<double>(i) == pos)
            {
                frames.read<T, format, stereo>(frames.wrap(i), l, r);
                isFinished = !frames.hasLoop && i >= frames.frameCount;
            }
            else
            {
                uint64 jm1, j0, j1, j2;
                if (frames.hasLoop && i >= frames.loopEnd)
                {
                    j0 = frames.wrap(i);
                    jm1 = frames.loopPrevious(j0);
                    j1 = frames.loopNext(j0);
                    j2 = frames.loopNext(j1);
                }
                else
                {
                    jm1 = frames.wrap(i - 1); // frame "before 0" is 2^64 - 1: past the end, or wrapped
                    j0 = i;
                    j1 = frames.wrap(i + 1);
                    j2 = frames.wrap(i + 2);
                }
                T ym1l, ym1r, y0l, y0r, y1l, y1r, y2l, y2r;
                frames.read<T, format, stereo>(jm1, ym1l, ym1r);
                frames.read<T, format, stereo>(j0, y0l, y0r);
                frames.read<T, format, stereo>(j1, y1l, y1r);
                frames.read<T, format, stereo>(j2, y2l, y2r);
                const double t = pos - static_cast<double>(i);
                l = static_cast<T>(catmullRom(t, ym1l, y0l, y1l, y2l));
                if constexpr (stereo)
                    r = static_cast<T>(catmullRom(t, ym1r, y0r, y1r, y2r));
                isFinished = !frames.hasLoop && i + 2 >= frames.frameCount;
            }
        }
        left[k] = scaledByVolume<T>(l, osc.volume);
        if constexpr (stereo)
            right[k] = scaledByVolume<T>(r, osc.volume);
        finished[k] = isFinished;
    }
}

// Runs the oscillator's values through its filters; while frequency or resonance move, the
// coefficients follow them sample by sample. Mono sources use the left filter only (both filters
// would see the same input and compute the same output).
template <typename T>
void renderFilters(OscillatorState<T>& osc, int32 count, T* left, T* right, bool stereo)
{
    if (osc.filterType == kFilterOff)
        return;
    const bool moving = osc.frequencyStep != 0.0 || osc.resonanceStep != 0.0;
    for (int32 k = 0; k < count; ++k)
    {
        if (moving)
        {
            osc.leftFilter.setCutoff(filterFrequencyScale.scale(osc.filterFrequency), 1.0 - osc.filterResonance);
            osc.rightFilter.setCoefficients(osc.leftFilter.getCoefficients());
            osc.filterFrequency += osc.frequencyStep;
            osc.filterResonance += osc.resonanceStep;
        }
        left[k] = static_cast<T>(osc.leftFilter.process(static_cast<double>(left[k])));
        if (stereo)
            right[k] = static_cast<T>(osc.rightFilter.process(static_cast<double>(right[k])));
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
