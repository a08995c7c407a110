#pragma once

#include "CatmullRom.h"
#include "SampleConversionWide.h"
#include "SampleFormat.h"
#include "SampleFrames.h"

#include <cstring>
#include <emmintrin.h>

namespace Steinberg::Vst::TaviroPlugIn {

// Sample playback over a run of steps whose four frames all lie in place in the recording, two
// steps at a time. The run's frame indices need no wrapping: the frame of a position is its whole
// part less a fixed distance. Each lane does the arithmetic of CatmullRomWeights and of
// scaledByVolume in the same order, so the values are identical to the step-by-step ones.

// Steps sample playback renders at a time at most.
inline constexpr int32 kPlaybackSteps = 256;

// Frames a run may span: runs are cut to this length, so that their frames fit the scratch.
inline constexpr int32 kRunFrames = 512;

// The frames of a run read once and kept as doubles, side by side for a stereo recording: at
// ordinary rates each frame serves about four steps. Of alike sides only the left is read.
template <int32 layout>
struct ConvertedFrames
{
    static constexpr int32 kSides = playedSides(layout);
    // Stored samples from one kept value to the next.
    static constexpr int32 kStep = storedSides(layout) / kSides;

    template <typename T, int32 format>
    static ConvertedFrames read(const uint8* frame, uint64 first, int32 count, double* scratch, bool wide)
    {
        if constexpr (sizeof(T) == 4 && format == kSample16Bit)
            if (wide)
            {
                convert16BitToFloatWide<kStep>(frame, count * kSides, scratch);
                return {scratch, first};
            }
        for (int32 v = 0; v < count * kSides; ++v)
            scratch[v] =
                static_cast<double>(readSample<T, format>(frame + v * kStep * bytesPerSampleOf(format)));
        return {scratch, first};
    }

    // Both sides of frame `index + m` (stereo).
    __m128d at(uint64 index, int32 m) const { return _mm_loadu_pd(values + 2 * (index - first + m)); }
    // Frame m of two windows, one per lane (mono).
    __m128d paired(uint64 a, uint64 b, int32 m) const
    {
        return _mm_setr_pd(values[a - first + m], values[b - first + m]);
    }

    const double* values;
    uint64 first; // the run frame index of values[0]
};

// The frames of a run read from the recording at each step, for runs that skip over most frames.
template <typename T, int32 format, int32 layout>
struct DirectFrames
{
    static constexpr uint64 kSampleBytes = bytesPerSampleOf(format);
    static constexpr uint64 kFrameBytes = kSampleBytes * storedSides(layout);

    const uint8* frame(uint64 index, int32 m) const { return data + (index + m - distance) * kFrameBytes; }
    double value(const uint8* p) const { return static_cast<double>(readSample<T, format>(p)); }

    __m128d at(uint64 index, int32 m) const
    {
        const uint8* p = frame(index, m);
        return _mm_setr_pd(value(p), value(p + kSampleBytes));
    }
    __m128d paired(uint64 a, uint64 b, int32 m) const
    {
        return _mm_setr_pd(value(frame(a, m)), value(frame(b, m)));
    }

    const uint8* data;
    uint64 distance; // run frame index less recording frame index
};

namespace InPlaceRunDetail {

// The weights that one interpolation multiplies with, per lane.
struct LaneWeights
{
    __m128d w0, wm1, w1, w2;
};

// w0 * y0 + wm1 * ym1 + w1 * y1 + w2 * y2, lane by lane.
inline __m128d interpolate(const LaneWeights& w, __m128d ym1, __m128d y0, __m128d y1, __m128d y2)
{
    __m128d v = _mm_mul_pd(w.w0, y0);
    v = _mm_add_pd(v, _mm_mul_pd(w.wm1, ym1));
    v = _mm_add_pd(v, _mm_mul_pd(w.w1, y1));
    return _mm_add_pd(v, _mm_mul_pd(w.w2, y2));
}

// Two steps' values rounded to the sample type, then scaled by the volume, written to out[0..n).
template <typename T>
inline void storeScaled(__m128d v, __m128d volume, T* out, int32 n)
{
    if constexpr (sizeof(T) == 4)
    {
        const __m128 rounded = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_cvtpd_ps(v)), volume));
        if (n == 2)
            _mm_storel_pi(reinterpret_cast<__m64*>(out), rounded);
        else
            _mm_store_ss(out, rounded);
    }
    else
    {
        const __m128d scaled = _mm_mul_pd(v, volume);
        if (n == 2)
            _mm_storeu_pd(out, scaled);
        else
            _mm_store_sd(out, scaled);
    }
}

} // namespace InPlaceRunDetail

// The weights and first frames of the steps of a run, for the baseline loops (the AVX2 ones work
// them out as they go). They are worked out in a pass of their own, so that the reads and sums
// that follow do not wait on them step by step.
struct RunWeights
{
    uint64 frame[kPlaybackSteps + 1]; // whole part of the position - 1; one spare entry for a pair
    double w0[kPlaybackSteps + 1];
    double wm1[kPlaybackSteps + 1];
    double w1[kPlaybackSteps + 1];
    double w2[kPlaybackSteps + 1];
};

// The first frame (the whole part less one) and the weights of the positions pos[0], pos[1], ...
// (each at least 0 and below 2^52), one per lane.
template <int32 lanes>
struct WindowWeights
{
    using Doubles = typename WeightLanes<lanes>::Doubles;
    using Bits = typename WeightLanes<lanes>::Bits;

    [[gnu::always_inline]] static WindowWeights at(const double* pos)
    {
        Doubles x;
        std::memcpy(&x, pos, sizeof x);
        // Adding 2^52 rounds a position to a whole number held in the low bits; one less where that
        // rounded up (a comparison gives all ones there) is the whole part, exactly.
        const Doubles magic = Doubles{} + 4503599627370496.0;
        const Doubles shifted = x + magic;
        const Doubles nearest = shifted - magic;
        const Bits roundedUp = nearest > x;
        const Doubles whole = nearest - (Doubles)(roundedUp & (Bits)(Doubles{} + 1.0));
        return {(Bits)shifted - (Bits)magic + roundedUp - 1, CatmullRomWeightsOf<lanes>(x - whole)};
    }

    Bits frame;
    CatmullRomWeightsOf<lanes> weights;
};

// The weights and first frames of the steps k, k + 1, ... at the positions pos[0], pos[1], ..., one
// step per lane.
template <int32 lanes>
[[gnu::always_inline]] inline void stepWeights(const double* pos, int32 k, RunWeights& out)
{
    const WindowWeights<lanes> window = WindowWeights<lanes>::at(pos);
    const CatmullRomWeightsOf<lanes>& w = window.weights;
    std::memcpy(out.frame + k, &window.frame, sizeof window.frame);
    std::memcpy(out.w0 + k, &w.w0, sizeof w.w0);
    std::memcpy(out.wm1 + k, &w.wm1, sizeof w.wm1);
    std::memcpy(out.w1 + k, &w.w1, sizeof w.w1);
    std::memcpy(out.w2 + k, &w.w2, sizeof w.w2);
}

// Weights and first frames of steps k0..k1 of `positions` (each at least 0 and below 2^52), two at
// a time; a last single step fills the spare entry too.
inline void runWeights(const double* positions, int32 k0, int32 k1, RunWeights& out)
{
    int32 k = k0;
    for (; k + 2 <= k1; k += 2)
        stepWeights<2>(positions + k, k, out);
    if (k < k1)
    {
        const double twice[2] = {positions[k], positions[k]};
        stepWeights<2>(twice, k, out);
    }
}

// Steps k0..k1 of a run whose weights and first frames are in `w`, reading the frames from `frames`.
template <typename T, bool stereo, typename Frames>
void interpolateRun(const Frames& frames, const RunWeights& w, int32 k0, int32 k1, double volume, T* left, T* right)
{
    using namespace InPlaceRunDetail;
    const __m128d scale = _mm_set1_pd(volume);
    for (int32 k = k0; k < k1; k += 2)
    {
        const int32 n = k + 1 < k1 ? 2 : 1;
        const uint64 a = w.frame[k], b = w.frame[k + 1];
        if constexpr (stereo)
        {
            auto step = [&](int32 s, uint64 f) {
                const LaneWeights ws{_mm_load1_pd(w.w0 + s), _mm_load1_pd(w.wm1 + s), _mm_load1_pd(w.w1 + s),
                                     _mm_load1_pd(w.w2 + s)};
                return interpolate(ws, frames.at(f, 0), frames.at(f, 1), frames.at(f, 2), frames.at(f, 3));
            };
            const __m128d va = step(k, a);
            const __m128d vb = step(k + 1, b);
            storeScaled<T>(_mm_unpacklo_pd(va, vb), scale, left + k, n);
            storeScaled<T>(_mm_unpackhi_pd(va, vb), scale, right + k, n);
        }
        else
        {
            const LaneWeights ws{_mm_loadu_pd(w.w0 + k), _mm_loadu_pd(w.wm1 + k), _mm_loadu_pd(w.w1 + k),
                                 _mm_loadu_pd(w.w2 + k)};
            const __m128d v = interpolate(ws, frames.paired(a, b, 0), frames.paired(a, b, 1), frames.paired(a, b, 2),
                                          frames.paired(a, b, 3));
            storeScaled<T>(v, scale, left + k, n);
        }
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
