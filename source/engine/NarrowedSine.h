#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cmath>
#include <emmintrin.h>

namespace Steinberg::Vst::TaviroPlugIn {

// static_cast<float>(std::sin(x)) for two arguments at a time. The sine is worked out in two SSE2
// lanes (reduction by multiples of pi/2, then the sine or cosine polynomial of the remainder); its
// double result lies within an ulp of the true sine, close to the library's. Narrowing to single
// precision hides that difference unless the result lies close to a point halfway between two
// floats: whenever the whole interval the library's result can lie in does not round to one float,
// that lane asks the library instead. So the float is always the library's float.
namespace NarrowedSine {

// Arguments beyond this take the library's sine: the reduction below is exact up to 2^20 quadrants.
constexpr double kLargestArgument = 1.0e6;

// pi/2 as a 33-bit head (a whole quadrant count times it is exact) and the rest.
constexpr double kPiOver2Head = 1.57079632673412561417e+00;
constexpr double kPiOver2Tail = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;

// A bound on |ours - library|, an absolute and a relative part. Ours lies within an ulp of the
// true sine; the bound is far wider so that it also covers a C library whose own argument
// reduction is less exact (the Windows runtime's is off by about 1e-15 at 1e6). So wide a bound
// still sends only about one oscillator sample in 10,000 to the library.
constexpr double kAbsoluteError = 0x1p-40;
constexpr double kRelativeError = 0x1p-40;

inline __m128d polynomialSine(__m128d r, __m128d z)
{
    const __m128d z3 = _mm_mul_pd(z, r);
    __m128d p = _mm_add_pd(_mm_set1_pd(-2.50507602534068634195e-08),
                           _mm_mul_pd(z, _mm_set1_pd(1.58969099521155010221e-10)));
    p = _mm_add_pd(_mm_set1_pd(2.75573137070700676789e-06), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(-1.98412698298579493134e-04), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(8.33333333332248946124e-03), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(-1.66666666666666324348e-01), _mm_mul_pd(z, p));
    return _mm_add_pd(r, _mm_mul_pd(z3, p));
}

inline __m128d polynomialCosine(__m128d z)
{
    __m128d p = _mm_add_pd(_mm_set1_pd(2.08757232129817482790e-09),
                           _mm_mul_pd(z, _mm_set1_pd(-1.13596475577881948265e-11)));
    p = _mm_add_pd(_mm_set1_pd(-2.75573143513906633035e-07), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(2.48015872894767294178e-05), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(-1.38888888888741095749e-03), _mm_mul_pd(z, p));
    p = _mm_add_pd(_mm_set1_pd(4.16666666666666019037e-02), _mm_mul_pd(z, p));
    const __m128d zr = _mm_mul_pd(z, _mm_mul_pd(z, p));
    const __m128d hz = _mm_mul_pd(_mm_set1_pd(0.5), z);
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d w = _mm_sub_pd(one, hz);
    return _mm_add_pd(w, _mm_add_pd(_mm_sub_pd(_mm_sub_pd(one, w), hz), zr));
}

// The sine of two arguments of at most kLargestArgument in magnitude.
inline __m128d sine(__m128d x)
{
    const __m128i quadrant = _mm_cvtpd_epi32(_mm_mul_pd(x, _mm_set1_pd(kTwoOverPi)));
    const __m128d k = _mm_cvtepi32_pd(quadrant);
    const __m128d r = _mm_sub_pd(_mm_sub_pd(x, _mm_mul_pd(k, _mm_set1_pd(kPiOver2Head))),
                                 _mm_mul_pd(k, _mm_set1_pd(kPiOver2Tail)));
    const __m128d z = _mm_mul_pd(r, r);
    const __m128d s = polynomialSine(r, z);
    const __m128d c = polynomialCosine(z);
    // Odd quadrants take the cosine; quadrants 2 and 3 change the sign. Each lane's 32-bit count
    // spreads to both halves of its 64-bit mask.
    const __m128i spread = _mm_shuffle_epi32(quadrant, _MM_SHUFFLE(1, 1, 0, 0));
    const __m128d odd =
        _mm_castsi128_pd(_mm_cmpeq_epi32(_mm_and_si128(spread, _mm_set1_epi32(1)), _mm_set1_epi32(1)));
    const __m128d value = _mm_or_pd(_mm_and_pd(odd, c), _mm_andnot_pd(odd, s));
    const __m128i negative = _mm_slli_epi64(_mm_and_si128(spread, _mm_set1_epi32(2)), 62);
    return _mm_xor_pd(value, _mm_castsi128_pd(negative));
}

// out[k] = static_cast<float>(std::sin(x[k])) for k < count.
inline void narrowedSines(const double* x, float* out, int32 count)
{
    const __m128d largest = _mm_set1_pd(kLargestArgument);
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    int32 k = 0;
    for (; k + 2 <= count; k += 2)
    {
        const __m128d args = _mm_loadu_pd(x + k);
        const __m128d s = sine(args);
        const __m128d error = _mm_add_pd(_mm_set1_pd(kAbsoluteError),
                                         _mm_mul_pd(_mm_set1_pd(kRelativeError), _mm_and_pd(s, absMask)));
        const __m128 low = _mm_cvtpd_ps(_mm_sub_pd(s, error));
        const __m128 high = _mm_cvtpd_ps(_mm_add_pd(s, error));
        const __m128 narrowed = _mm_cvtpd_ps(s);
        // Lanes whose argument is in range and whose interval rounds to a single float.
        const int inRange = _mm_movemask_pd(_mm_cmple_pd(_mm_and_pd(args, absMask), largest));
        const int settled = _mm_movemask_ps(_mm_cmpeq_ps(low, high)) & inRange;
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, narrowed);
        out[k] = (settled & 1) != 0 ? lanes[0] : static_cast<float>(std::sin(x[k]));
        out[k + 1] = (settled & 2) != 0 ? lanes[1] : static_cast<float>(std::sin(x[k + 1]));
    }
    for (; k < count; ++k)
        out[k] = static_cast<float>(std::sin(x[k]));
}

} // namespace NarrowedSine

} // namespace Steinberg::Vst::TaviroPlugIn
