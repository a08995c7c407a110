#pragma once

#include "InPlaceRun.h"

#include <immintrin.h>

// AVX2 variants of the sample playback passes, four lanes where the baseline has two. Each lane
// does the arithmetic of the baseline in the same order, so the values are the same; the steps
// that do not fill four lanes go through the baseline.
namespace Steinberg::Vst::TaviroPlugIn {

// The positions of a stretch, as in renderMultiSample.
__attribute__((target("avx2"))) inline void playbackPositionsWide(double base, double ratio, double rate,
                                                                  double offset, int32 first, int32 count,
                                                                  double* positions)
{
    for (int32 k = first; k < count; ++k)
        positions[k] = (base + static_cast<double>(k - first)) / ratio * rate + offset;
}

namespace InPlaceRunWideDetail {

// Both sides of two steps: frame m of the windows from frames a and b, one per half.
template <typename Frames>
__attribute__((target("avx2"))) inline __m256d framesOfSteps(const Frames& frames, uint64 a, uint64 b,
                                                             int32 m)
{
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(frames.at(a, m)), frames.at(b, m), 1);
}

// Left and right of two of four steps, `pair` 0 (steps 0 and 1) or 1 (steps 2 and 3): each step's
// weights in the two lanes of its half, both sides of one step in each half of the result.
template <int32 pair, typename Frames>
__attribute__((target("avx2"))) inline __m256d interpolatePair(const Frames& frames, const WindowWeights<4>& w)
{
    constexpr int imm = pair == 0 ? 0x50 : 0xfa;
    const uint64 a = static_cast<uint64>(w.frame[2 * pair]), b = static_cast<uint64>(w.frame[2 * pair + 1]);
    const CatmullRomWeightsOf<4>& c = w.weights;
    __m256d v = _mm256_mul_pd(_mm256_permute4x64_pd((__m256d)c.w0, imm), framesOfSteps(frames, a, b, 1));
    v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_permute4x64_pd((__m256d)c.wm1, imm), framesOfSteps(frames, a, b, 0)));
    v = _mm256_add_pd(v, _mm256_mul_pd(_mm256_permute4x64_pd((__m256d)c.w1, imm), framesOfSteps(frames, a, b, 2)));
    return _mm256_add_pd(v, _mm256_mul_pd(_mm256_permute4x64_pd((__m256d)c.w2, imm), framesOfSteps(frames, a, b, 3)));
}

// The four frames from `index` on of a one-sided run, frame by frame in the lanes.
template <int32 layout>
__attribute__((target("avx2"))) inline __m256d window(const ConvertedFrames<layout>& frames, uint64 index)
{
    return _mm256_loadu_pd(frames.values + (index - frames.first));
}

template <typename T, int32 format, int32 layout>
__attribute__((target("avx2"))) inline __m256d window(const DirectFrames<T, format, layout>& frames,
                                                      uint64 index)
{
    return _mm256_setr_pd(frames.value(frames.frame(index, 0)), frames.value(frames.frame(index, 1)),
                          frames.value(frames.frame(index, 2)), frames.value(frames.frame(index, 3)));
}

// Four steps' values rounded to the sample type, then scaled by the volume.
template <typename T>
__attribute__((target("avx2"))) inline void storeScaled(__m256d v, __m256d volume, T* out)
{
    if constexpr (sizeof(T) == 4)
        _mm_storeu_ps(out, _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_cvtpd_ps(v)), volume)));
    else
        _mm256_storeu_pd(out, _mm256_mul_pd(v, volume));
}

} // namespace InPlaceRunWideDetail

// runWeights and interpolateRun of a stereo run in one pass, four steps at a time; `tail` takes the
// weights of the last steps, which go through the baseline.
template <typename T, typename Frames>
__attribute__((target("avx2"))) void interpolateStereoRunWide(const Frames& frames, const double* positions,
                                                              int32 k0, int32 k1, double volume, T* left,
                                                              T* right, RunWeights& tail)
{
    using namespace InPlaceRunWideDetail;
    const __m256d scale = _mm256_set1_pd(volume);
    int32 k = k0;
    for (; k + 4 <= k1; k += 4)
    {
        const WindowWeights<4> w = WindowWeights<4>::at(positions + k);
        const __m256d ab = interpolatePair<0>(frames, w); // La Ra Lb Rb
        const __m256d cd = interpolatePair<1>(frames, w); // Lc Rc Ld Rd
        // La Lc Lb Ld and Ra Rc Rb Rd, put in step order.
        storeScaled<T>(_mm256_permute4x64_pd(_mm256_unpacklo_pd(ab, cd), 0xd8), scale, left + k);
        storeScaled<T>(_mm256_permute4x64_pd(_mm256_unpackhi_pd(ab, cd), 0xd8), scale, right + k);
    }
    runWeights(positions, k, k1, tail);
    interpolateRun<T, true>(frames, tail, k, k1, volume, left, right);
}

// runWeights and interpolateRun of a one-sided run in one pass, four steps at a time: the weights
// of four steps, and their windows turned so that each vector holds one of the four frames of every
// step.
template <typename T, typename Frames>
__attribute__((target("avx2"))) void interpolateMonoRunWide(const Frames& frames, const double* positions,
                                                            int32 k0, int32 k1, double volume, T* out,
                                                            RunWeights& tail)
{
    using namespace InPlaceRunWideDetail;
    const __m256d scale = _mm256_set1_pd(volume);
    int32 k = k0;
    for (; k + 4 <= k1; k += 4)
    {
        const WindowWeights<4> w = WindowWeights<4>::at(positions + k);
        const __m256d s0 = window(frames, static_cast<uint64>(w.frame[0]));
        const __m256d s1 = window(frames, static_cast<uint64>(w.frame[1]));
        const __m256d s2 = window(frames, static_cast<uint64>(w.frame[2]));
        const __m256d s3 = window(frames, static_cast<uint64>(w.frame[3]));
        const __m256d even01 = _mm256_unpacklo_pd(s0, s1), odd01 = _mm256_unpackhi_pd(s0, s1);
        const __m256d even23 = _mm256_unpacklo_pd(s2, s3), odd23 = _mm256_unpackhi_pd(s2, s3);
        const __m256d ym1 = _mm256_permute2f128_pd(even01, even23, 0x20);
        const __m256d y0 = _mm256_permute2f128_pd(odd01, odd23, 0x20);
        const __m256d y1 = _mm256_permute2f128_pd(even01, even23, 0x31);
        const __m256d y2 = _mm256_permute2f128_pd(odd01, odd23, 0x31);
        const CatmullRomWeightsOf<4>& c = w.weights;
        __m256d v = _mm256_mul_pd((__m256d)c.w0, y0);
        v = _mm256_add_pd(v, _mm256_mul_pd((__m256d)c.wm1, ym1));
        v = _mm256_add_pd(v, _mm256_mul_pd((__m256d)c.w1, y1));
        v = _mm256_add_pd(v, _mm256_mul_pd((__m256d)c.w2, y2));
        storeScaled<T>(v, scale, out + k);
    }
    runWeights(positions, k, k1, tail);
    interpolateRun<T, false>(frames, tail, k, k1, volume, out, out);
}

} // namespace Steinberg::Vst::TaviroPlugIn
