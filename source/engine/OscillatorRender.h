#pragma once

#include "CatmullRom.h"
#include "OscillatorState.h"
#include "WhiteNoise.h"
#include "source/common/LogScale.h"
#include "source/state/StateValues.h"

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
inline double sawPhase(uint64 n, double increment, T offset)
{
    return static_cast<double>(static_cast<T>(static_cast<T>(n * increment) + offset));
}

template <typename T, int32 waveform>
void renderGenerated(OscillatorState<T>& osc, uint64 n0, int32 count, T* out)
{
    const double increment = osc.radianIncrement;
    const double offset = static_cast<double>(osc.radianPhaseOffset);
    for (int32 k = 0; k < count; ++k)
    {
        const uint64 n = n0 + static_cast<uint64>(k);
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
void renderMultiSample(OscillatorState<T>& osc, uint64 n0, int32 count, int32 retardLength, T* left, T* right,
                       uint8* finished)
{
    // Locals: the stores into `finished` could otherwise alias every field of the oscillator.
    const SampleFrames frames = osc.frames;
    const bool silent = osc.setIndex < 0;
    const double sampleRateRatio = osc.sampleRateRatio;
    const double targetRate = osc.targetRate;
    const double volume = osc.volume;
    double currentRate = osc.currentRate;
    double positionOffset = osc.positionOffset;
    int64 positionBase = osc.positionBase;
    bool isFinished = osc.finished;
    // The four frames around the last fractional position, left and right sides.
    uint64 windowIndex = ~uint64(0) - 1;
    uint64 lastFrame = 0;
    T wl[4] = {}, wr[4] = {};
    for (int32 k = 0; k < count; ++k)
    {
        const int64 n = static_cast<int64>(n0 + static_cast<uint64>(k));
        if (n < retardLength || silent)
        {
            left[k] = T(0);
            if constexpr (stereo)
                right[k] = T(0);
            if (silent)
                isFinished = true;
            finished[k] = isFinished;
            continue;
        }
        if (currentRate == -1.0)
            currentRate = targetRate;
        if (currentRate != targetRate)
        {
            positionOffset += static_cast<double>(n - retardLength - positionBase) / sampleRateRatio * currentRate;
            currentRate = targetRate;
            positionBase = n - retardLength;
        }
        const double pos =
            static_cast<double>(n - retardLength - positionBase) / sampleRateRatio * currentRate + positionOffset;

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
                // Neighbouring samples share most of their four frames: slide the window when the
                // position moved on by one frame, read all four only after a jump.
                if (i != windowIndex)
                {
                    if (i == windowIndex + 1)
                    {
                        for (int32 f = 0; f < 3; ++f)
                        {
                            wl[f] = wl[f + 1];
                            wr[f] = wr[f + 1];
                        }
                        lastFrame = frames.next(lastFrame);
                        frames.read<T, format, stereo>(lastFrame, wl[3], wr[3]);
                    }
                    else
                    {
                        uint64 jm1, j0, j1;
                        if (frames.hasLoop && i >= frames.loopEnd)
                        {
                            j0 = frames.wrap(i);
                            jm1 = frames.loopPrevious(j0);
                        }
                        else
                        {
                            jm1 = frames.wrap(i - 1); // frame "before 0" is 2^64 - 1: past the end, or wrapped
                            j0 = i;
                        }
                        j1 = frames.next(j0);
                        lastFrame = frames.next(j1);
                        frames.read<T, format, stereo>(jm1, wl[0], wr[0]);
                        frames.read<T, format, stereo>(j0, wl[1], wr[1]);
                        frames.read<T, format, stereo>(j1, wl[2], wr[2]);
                        frames.read<T, format, stereo>(lastFrame, wl[3], wr[3]);
                    }
                    windowIndex = i;
                }
                const double t = pos - static_cast<double>(i);
                l = static_cast<T>(catmullRom(t, wl[0], wl[1], wl[2], wl[3]));
                if constexpr (stereo)
                    r = static_cast<T>(catmullRom(t, wr[0], wr[1], wr[2], wr[3]));
                isFinished = !frames.hasLoop && i + 2 >= frames.frameCount;
            }
        }
        left[k] = scaledByVolume<T>(l, volume);
        if constexpr (stereo)
            right[k] = scaledByVolume<T>(r, volume);
        finished[k] = isFinished;
    }
    osc.currentRate = currentRate;
    osc.positionOffset = positionOffset;
    osc.positionBase = positionBase;
}

// Runs the oscillator's values through its filters; while frequency or resonance move, the
// coefficients follow them sample by sample. Mono sources use the left filter only (both filters
// would see the same input and compute the same output).
template <typename T>
void renderFilters(OscillatorState<T>& osc, int32 count, T* left, T* right, bool stereo)
{
    if (osc.filterType == kFilterOff)
        return;
    const bool moving = osc.filterFrequency.moving() || osc.filterResonance.moving();
    for (int32 k = 0; k < count; ++k)
    {
        if (moving)
        {
            osc.leftFilter.setCutoff(filterFrequencyScale.scale(osc.filterFrequency.value),
                                     1.0 - osc.filterResonance.value);
            osc.rightFilter.setCoefficients(osc.leftFilter.getCoefficients());
            osc.filterFrequency.advance();
            osc.filterResonance.advance();
        }
        left[k] = static_cast<T>(osc.leftFilter.process(static_cast<double>(left[k])));
        if (stereo)
            right[k] = static_cast<T>(osc.rightFilter.process(static_cast<double>(right[k])));
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
