#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <bit>

// What the engine's vector sines share: the lane types of each instruction set (two lanes of SSE2,
// four of AVX2), the choice of quadrant and the polynomials of sine and cosine on [-pi/4, pi/4].
// Every lane does the same IEEE operations in the same order, so all widths give the same bits.
namespace Steinberg::Vst::TaviroPlugIn::SineLanes {

// Arguments beyond this take the library's sine: the reductions are exact up to 2^20 quadrants.
constexpr double kLargestArgument = 1.0e6;

template <int32 lanes>
struct Lanes;

template <>
struct Lanes<2>
{
    using Doubles = double __attribute__((vector_size(16)));
    using Bits = unsigned long long __attribute__((vector_size(16)));
    using Floats = float __attribute__((vector_size(8)));
    using Ints = int __attribute__((vector_size(8)));
    using WholeMask = unsigned long long; // a lane mask of the floats or ints as one number
};

template <>
struct Lanes<4>
{
    using Doubles = double __attribute__((vector_size(32)));
    using Bits = unsigned long long __attribute__((vector_size(32)));
    using Floats = float __attribute__((vector_size(16)));
    using Ints = int __attribute__((vector_size(16)));
    using WholeMask = unsigned __int128;
};

constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// Added and taken away again, it rounds a double below 2^51 to the nearest whole number, which
// then also stands in the low bits of the sum.
constexpr double kRoundingShift = 0x1.8p52;

// The quadrant nearest to each lane's argument: the whole number k of x * 2/pi, and k in the low
// bits of `bits` (two's complement, so bits & 3 is k modulo 4 for negative k too).
template <typename D, typename B>
struct Quadrant
{
    D k;
    B bits;
};

template <typename D, typename B>
[[gnu::always_inline]] inline Quadrant<D, B> nearestQuadrant(D x)
{
    const D shifted = x * kTwoOverPi + kRoundingShift;
    return {shifted - kRoundingShift, std::bit_cast<B>(shifted)};
}

// The sine's polynomial is r + r^3 (S1 + z * sineTail(z)) with z = r^2.
constexpr double kSine1 = -1.66666666666666324348e-01;

template <typename D>
[[gnu::always_inline]] inline D sineTail(D z)
{
    D p = -2.50507602534068634195e-08 + z * 1.58969099521155010221e-10;
    p = 2.75573137070700676789e-06 + z * p;
    p = -1.98412698298579493134e-04 + z * p;
    return 8.33333333332248946124e-03 + z * p;
}

// The cosine's polynomial is 1 - z/2 + z^2 * cosineTail(z) with z = r^2.
template <typename D>
[[gnu::always_inline]] inline D cosineTail(D z)
{
    D p = 2.08757232129817482790e-09 + z * -1.13596475577881948265e-11;
    p = -2.75573143513906633035e-07 + z * p;
    p = 2.48015872894767294178e-05 + z * p;
    p = -1.38888888888741095749e-03 + z * p;
    return 4.16666666666666019037e-02 + z * p;
}

// The sine of the argument from the sine and cosine of its remainder: odd quadrants take the
// cosine, quadrants 2 and 3 change the sign.
template <typename D, typename B>
[[gnu::always_inline]] inline D inQuadrant(B quadrant, D sine, D cosine)
{
    const B odd = std::bit_cast<B>((quadrant & 1) != 0);
    const B value = (odd & std::bit_cast<B>(cosine)) | (~odd & std::bit_cast<B>(sine));
    return std::bit_cast<D>(value ^ ((quadrant & 2) << 62));
}

} // namespace Steinberg::Vst::TaviroPlugIn::SineLanes
