#pragma once

#include "CatmullRom.h"
#include "DoubleSine.h"
#include "NarrowedSine.h"
#include "OscillatorState.h"
#include "SampleCounters.h"
#include "source/common/LogScale.h"
#include "source/state/StateValues.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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

// The sine, a few arguments at a time: narrowed to single precision, or the double sine.
template <typename T>
void renderSine(const OscillatorState<T>& osc, uint64 n0, int32 count, T* out)
{
    const double increment = osc.radianIncrement;
    const double offset = static_cast<double>(osc.radianPhaseOffset);
    constexpr int32 kPiece = 64;
    double x[kPiece];
    for (int32 k0 = 0; k0 < count; k0 += kPiece)
    {
        const int32 piece = std::min(kPiece, count - k0);
        countersAsDoubles(n0 + static_cast<uint64>(k0), piece, x);
        for (int32 k = 0; k < piece; ++k)
            x[k] = x[k] * increment + offset;
        if constexpr (std::is_same_v<T, float>)
            NarrowedSine::narrowedSines(x, out + k0, piece);
        else
            DoubleSine::sines(x, out + k0, piece);
        for (int32 k = 0; k < piece; ++k)
            out[k0 + k] = scaledByVolume<T>(out[k0 + k], osc.volume);
    }
}

// The other generated waveforms, one sample at a time.
template <typename T, int32 waveform>
void renderPerSample(const OscillatorState<T>& osc, uint64 n0, int32 count, T* out)
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
            if constexpr (waveform == kOscillatorTriangle)
                value = static_cast<T>((std::acos(s) - 1.5707963) / 1.5707963);
            else
                value = s >= 0.0 ? T(1) : T(-1);
        }
        out[k] = scaledByVolume<T>(value, osc.volume);
    }
}

template <typename T, int32 waveform>
void renderGenerated(OscillatorState<T>& osc, uint64 n0, int32 count, T* out)
{
    if constexpr (waveform == kOscillatorSinus)
        renderSine(osc, n0, count, out);
    else
        renderPerSample<T, waveform>(osc, n0, count, out);
}

// The white-noise value of one draw (0..32767) of the pool's shared source, scaled by the oscillator
// volume.
template <typename T>
inline T whiteNoiseValue(T draw, double volume)
{
    const T value = draw / T(32767) * T(2) - T(1);
    return scaledByVolume<T>(value, volume);
}

// The filter coefficients of `count` steps while frequency or resonance move: each step takes the
// coefficients of the current values (or keeps the last ones when those are not finite), then the
// values take one smoothing step.
template <typename T>
void rampCoefficients(OscillatorState<T>& osc, int32 count, BiquadCoefficients* out)
{
    const BiquadFilter& filter = osc.leftFilter;
    BiquadCoefficients last = filter.getCoefficients();
    for (int32 k = 0; k < count; ++k)
    {
        const BiquadCoefficients c = BiquadFilter::compute(
            filter.getType(), filterFrequencyScale.scale(osc.filterFrequency.value), 1.0 - osc.filterResonance.value,
            filter.getSampleRate(), filter.getInverseSampleRate());
        if (std::isfinite(c.b0 + c.b1 + c.b2 + c.a1 + c.a2))
            last = c;
        out[k] = last;
        osc.filterFrequency.advance();
        osc.filterResonance.advance();
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
