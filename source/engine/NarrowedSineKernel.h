#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <bit>
#include <cmath>

// The narrowed sine's arithmetic, written once for any number of lanes with the compiler's vector
// types: each file that includes it builds it for its own instruction set (two lanes of SSE2, four
// of AVX2). Every lane does the same IEEE operations in the same order, so all widths give the
// same bits.
namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

// Arguments beyond this take the library's sine: the reduction below is exact up to 2^20 quadrants.
constexpr double kLargestArgument = 1.0e6;

// A bound on |ours - library|, an absolute and a relative part. Ours lies within an ulp of the
// true sine; the bound is far wider so that it also covers a C library whose own argument
// reduction is less exact (the Windows runtime's is off by about 1e-15 at 1e6). So wide a bound
// still sends only about one oscillator sample in 10,000 to the library.
constexpr double kAbsoluteError = 0x1p-40;
constexpr double kRelativeError = 0x1p-40;

template <int32 lanes>
struct Lanes;

template <>
struct Lanes<2>
{
    using Doubles = double __attribute__((vector_size(16)));
    using Bits = unsigned long long __attribute__((vector_size(16)));
    using Floats = float __attribute__((vector_size(8)));
    using WholeMask = unsigned long long; // a lane mask of the floats as one number
};

template <>
struct Lanes<4>
{
    using Doubles = double __attribute__((vector_size(32)));
    using Bits = unsigned long long __attribute__((vector_size(32)));
    using Floats = float __attribute__((vector_size(16)));
    using WholeMask = unsigned __int128;
};

// pi/2 as a 33-bit head (a whole quadrant count times it is exact) and the rest.
constexpr double kPiOver2Head = 1.57079632673412561417e+00;
constexpr double kPiOver2Tail = 6.07710050650619224932e-11;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// Added and taken away again, it rounds a double below 2^51 to the nearest whole number, which
// then also stands in the low bits of the sum.
constexpr double kRoundingShift = 0x1.8p52;

template <typename D>
[[gnu::always_inline]] inline D polynomialSine(D r, D z)
{
    const D z3 = z * r;
    D p = -2.50507602534068634195e-08 + z * 1.58969099521155010221e-10;
    p = 2.75573137070700676789e-06 + z * p;
    p = -1.98412698298579493134e-04 + z * p;
    p = 8.33333333332248946124e-03 + z * p;
    p = -1.66666666666666324348e-01 + z * p;
    return r + z3 * p;
}

template <typename D>
[[gnu::always_inline]] inline D polynomialCosine(D z)
{
    D p = 2.08757232129817482790e-09 + z * -1.13596475577881948265e-11;
    p = -2.75573143513906633035e-07 + z * p;
    p = 2.48015872894767294178e-05 + z * p;
    p = -1.38888888888741095749e-03 + z * p;
    p = 4.16666666666666019037e-02 + z * p;
    const D zr = z * (z * p);
    const D hz = 0.5 * z;
    const D w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + zr);
}

// The sine of each lane's argument, for arguments of at most kLargestArgument in magnitude.
template <int32 lanes>
[[gnu::always_inline]] inline typename Lanes<lanes>::Doubles sine(typename Lanes<lanes>::Doubles x)
{
    using D = typename Lanes<lanes>::Doubles;
    using B = typename Lanes<lanes>::Bits;
    const D shifted = x * kTwoOverPi + kRoundingShift;
    const D k = shifted - kRoundingShift;
    const B quadrant = std::bit_cast<B>(shifted);
    const D r = (x - k * kPiOver2Head) - k * kPiOver2Tail;
    const D z = r * r;
    // Odd quadrants take the cosine; quadrants 2 and 3 change the sign.
    const B odd = std::bit_cast<B>((quadrant & 1) != 0);
    const B value =
        (odd & std::bit_cast<B>(polynomialCosine(z))) | (~odd & std::bit_cast<B>(polynomialSine(r, z)));
    return std::bit_cast<D>(value ^ ((quadrant & 2) << 62));
}

// out[k] = static_cast<float>(std::sin(x[k])) for k < count. A lane keeps its own narrowed sine
// only when the whole interval the library's result can lie in rounds to one float; otherwise the
// library answers. So the float is always the library's float.
template <int32 lanes>
void narrowedSines(const double* x, float* out, int32 count)
{
    using D = typename Lanes<lanes>::Doubles;
    using B = typename Lanes<lanes>::Bits;
    using F = typename Lanes<lanes>::Floats;
    const auto absolute = [](D v) { return std::bit_cast<D>(std::bit_cast<B>(v) & 0x7fffffffffffffffull); };
    int32 k = 0;
    for (; k + lanes <= count; k += lanes)
    {
        D args;
        __builtin_memcpy(&args, x + k, sizeof args);
        const B inRange = std::bit_cast<B>(absolute(args) <= kLargestArgument);
        // Out of range, the lane is NaN, so its interval below never settles.
        const D s = std::bit_cast<D>((std::bit_cast<B>(sine<lanes>(args)) & inRange) |
                                     (~inRange & 0x7ff8000000000000ull));
        const D error = kAbsoluteError + kRelativeError * absolute(s);
        const auto unsettled = __builtin_convertvector(s - error, F) != __builtin_convertvector(s + error, F);
        const F narrowed = __builtin_convertvector(s, F);
        __builtin_memcpy(out + k, &narrowed, sizeof narrowed);
        if (std::bit_cast<typename Lanes<lanes>::WholeMask>(unsettled) != 0)
            for (int32 lane = 0; lane < lanes; ++lane)
                if (unsettled[lane] != 0)
                    out[k + lane] = static_cast<float>(std::sin(args[lane]));
    }
    for (; k < count; ++k)
        out[k] = static_cast<float>(std::sin(x[k]));
}

} // namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine
