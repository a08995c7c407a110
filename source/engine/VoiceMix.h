#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The per-step factors that one side of a voice mixes with.
struct MixGains
{
    const double* pan;
    const double* voice;
    const double* tremolo;
};

// Adds the oscillators' values of one side: value x pan gain x voice gain x tremolo x level, formed
// in double and added in the sample type, oscillator after oscillator as the running sum of each
// sample.
template <typename T, int32 oscillators>
[[gnu::always_inline]] inline void mixSide(const T* const* sources, const double* const* levels,
                                           MixGains gains, T* __restrict out, int32 count)
{
    const double* __restrict pan = gains.pan;
    const double* __restrict voice = gains.voice;
    const double* __restrict tremolo = gains.tremolo;
    for (int32 k = 0; k < count; ++k)
    {
        T sum = out[k];
        for (int32 o = 0; o < oscillators; ++o)
            sum += static_cast<T>(static_cast<double>(sources[o][k]) * pan[k] * voice[k] * tremolo[k] *
                                  levels[o][k]);
        out[k] = sum;
    }
}

template <typename T, int32 oscillators>
void mixSideBaseline(const T* const* sources, const double* const* levels, MixGains gains, T* out,
                     int32 count)
{
    mixSide<T, oscillators>(sources, levels, gains, out, count);
}

// The same, compiled for AVX2: four steps at a time.
template <typename T, int32 oscillators>
__attribute__((target("avx2"))) void mixSideWide(const T* const* sources, const double* const* levels,
                                                 MixGains gains, T* out, int32 count)
{
    mixSide<T, oscillators>(sources, levels, gains, out, count);
}

// mixSide for one to three oscillators, in the chosen width.
template <typename T>
void mixSide(bool wide, const T* const* sources, const double* const* levels, int32 oscillators,
             MixGains gains, T* out, int32 count)
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
