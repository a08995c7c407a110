#pragma once

#include "SineLanes.h"

#include <bit>
#include <cmath>

// The narrowed sine's arithmetic, written once for any number of lanes with the compiler's vector
// types (SineLanes.h): each file that includes it builds it for its own instruction set.
namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

using SineLanes::kLargestArgument;
using SineLanes::Lanes;

// A bound on |ours - library|, an absolute and a relative part. Ours lies within an ulp of the
// true sine; the bound is far wider so that it also covers a C library whose own argument
// reduction is less exact (the Windows runtime's is off by about 1e-15 at 1e6). So wide a bound
// still sends only about one oscillator sample in 10,000 to the library.
constexpr double kAbsoluteError = 0x1p-40;
constexpr double kRelativeError = 0x1p-40;

// pi/2 as a 33-bit head (a whole quadrant count times it is exact) and the rest.
constexpr double kPiOver2Head = 1.57079632673412561417e+00;
constexpr double kPiOver2Tail = 6.07710050650619224932e-11;

// The sine of each lane's argument, for arguments of at most kLargestArgument in magnitude.
template <int32 lanes>
[[gnu::always_inline]] inline typename Lanes<lanes>::Doubles sine(typename Lanes<lanes>::Doubles x)
{
    using D = typename Lanes<lanes>::Doubles;
    using B = typename Lanes<lanes>::Bits;
    const auto quadrant = SineLanes::nearestQuadrant<D, B>(x);
    const D k = quadrant.k;
    const D r = (x - k * kPiOver2Head) - k * kPiOver2Tail;
    const D z = r * r;
    const D sine = r + (z * r) * (SineLanes::kSine1 + z * SineLanes::sineTail(z));
    const D hz = 0.5 * z;
    const D w = 1.0 - hz;
    const D cosine = w + (((1.0 - w) - hz) + z * (z * SineLanes::cosineTail(z)));
    return SineLanes::inQuadrant(quadrant.bits, sine, cosine);
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
