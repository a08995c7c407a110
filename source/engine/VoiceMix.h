#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The per-step factors that one side of a voice mixes with.
struct MixGains
{
    const double* __restrict pan;
    const double* __restrict voice;
    const double* __restrict tremolo;

    double times(double value, int32 k) const { return value * pan[k] * voice[k] * tremolo[k]; }
};

// The same factors while pan and voice gain hold still and the tremolo moves.
struct TremoloGains
{
    double pan;
    double voice;
    const double* __restrict tremolo;

    double times(double value, int32 k) const { return value * pan * voice * tremolo[k]; }
};

// The same factors while pan and voice gain hold still and no tremolo sounds (a factor of 1).
struct SteadyGains
{
    double pan;
    double voice;

    double times(double value, int32) const { return value * pan * voice; }
};

// Adds the oscillators' values of one side: value x pan gain x voice gain x tremolo x level, formed
// in double and added in the sample type, oscillator after oscillator as the running sum of each
// sample.
template <typename T, int32 oscillators, typename Gains>
[[gnu::always_inline]] inline void mixSide(const T* const* sources, const double* const* levels, Gains gains,
                                           T* __restrict out, int32 count)
{
    for (int32 k = 0; k < count; ++k)
    {
        T sum = out[k];
        for (int32 o = 0; o < oscillators; ++o)
            sum += static_cast<T>(gains.times(static_cast<double>(sources[o][k]), k) * levels[o][k]);
        out[k] = sum;
    }
}

template <typename T, int32 oscillators, typename Gains>
void mixSideBaseline(const T* const* sources, const double* const* levels, Gains gains, T* out, int32 count)
{
    mixSide<T, oscillators>(sources, levels, gains, out, count);
}

// The same, compiled for AVX2: four steps at a time.
template <typename T, int32 oscillators, typename Gains>
__attribute__((target("avx2"))) void mixSideWide(const T* const* sources, const double* const* levels,
                                                 Gains gains, T* out, int32 count)
{
    mixSide<T, oscillators>(sources, levels, gains, out, count);
}

// mixSide for one to three oscillators, in the chosen width.
template <typename T, typename Gains>
void mixSide(bool wide, const T* const* sources, const double* const* levels, int32 oscillators, Gains gains,
             T* out, int32 count)
{
    switch (oscillators * 2 + (wide ? 1 : 0))
    {
    case 2:
        mixSideBaseline<T, 1>(sources, levels, gains, out, count);
        break;
    case 3:
        mixSideWide<T, 1>(sources, levels, gains, out, count);
        break;
    case 4:
        mixSideBaseline<T, 2>(sources, levels, gains, out, count);
        break;
    case 5:
        mixSideWide<T, 2>(sources, levels, gains, out, count);
        break;
    case 6:
        mixSideBaseline<T, 3>(sources, levels, gains, out, count);
        break;
    default:
        mixSideWide<T, 3>(sources, levels, gains, out, count);
        break;
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
