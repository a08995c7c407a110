#pragma once

#include "SampleFormat.h"

#include <cstring>
#include <immintrin.h>

namespace Steinberg::Vst::TaviroPlugIn {

namespace SampleConversionWideDetail {

// Eight codes, each `step` codes after the one before, from p to out.
template <int32 step>
__attribute__((target("avx2"))) inline void convertEight(const uint8* p, double* out)
{
    const __m256d positiveScale = _mm256_set1_pd(1.0 / 32767.0);
    const __m256d negativeScale = _mm256_set1_pd(3.0517578125e-05);
    __m256i codes;
    if constexpr (step == 1)
        codes = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    else // the first code of each pair, sign-extended from the low half of its 32 bits
        codes = _mm256_srai_epi32(_mm256_slli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), 16), 16);
    for (int32 h = 0; h < 2; ++h)
    {
        const __m256d x =
            _mm256_cvtepi32_pd(h == 0 ? _mm256_castsi256_si128(codes) : _mm256_extracti128_si256(codes, 1));
        const __m256d scale =
            _mm256_blendv_pd(negativeScale, positiveScale, _mm256_cmp_pd(x, _mm256_setzero_pd(), _CMP_GT_OQ));
        _mm256_storeu_pd(out + 4 * h, _mm256_cvtps_pd(_mm256_cvtpd_ps(_mm256_mul_pd(x, scale))));
    }
}

} // namespace SampleConversionWideDetail

// 16-bit codes to the single-precision values of convertSample, widened to double, eight at a time
// with AVX2: `count` codes, each `step` codes after the one before, from p. The last few go through
// a copy, so that nothing beyond them is read, and no code through a table that may be out of cache.
// A positive code's quotient by 32767 lies at least 2^-39 (relative) from every point halfway
// between two floats, far beyond the 2^-52 by which the double product with the rounded reciprocal
// can miss it, so rounding that product to float gives the float quotient exactly; negative codes
// scale by a power of two, which is exact.
template <int32 step>
__attribute__((target("avx2"))) inline void convert16BitToFloatWide(const uint8* p, int32 count, double* out)
{
    static_assert(step == 1 || step == 2);
    using SampleConversionWideDetail::convertEight;
    constexpr int32 kCodeBytes = 2 * step;
    int32 v = 0;
    for (; v + 8 <= count; v += 8)
        convertEight<step>(p + kCodeBytes * v, out + v);
    if (v == count)
        return;
    uint8 last[8 * kCodeBytes] = {};
    double values[8];
    std::memcpy(last, p + kCodeBytes * v, static_cast<size_t>(kCodeBytes * (count - v)));
    convertEight<step>(last, values);
    std::memcpy(out + v, values, sizeof(double) * static_cast<size_t>(count - v));
}

} // namespace Steinberg::Vst::TaviroPlugIn
