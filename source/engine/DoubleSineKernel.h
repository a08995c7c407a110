#pragma once

#include "SineLanes.h"

#include <bit>
#include <cmath>

// The double-precision sine in vector lanes, faithful to within an ulp of the true sine for
// arguments up to kLargestArgument: the remainder after taking away the nearest multiple of pi/2
// is kept as the sum of two doubles, so that it stays exact to far beyond double precision even
// where it cancels almost completely, and the polynomials take its low part into account.
namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

using SineLanes::Lanes;

// pi/2 as three pieces of at most 33 bits (so that a whole quadrant count below 2^20 times any of
// them is exact) and the rest, rounded: together they hold pi/2 to about 150 bits.
constexpr double kPiOver2First = 0x1.921fb544p+0;
constexpr double kPiOver2Second = 0x1.0b4611a6p-34;
constexpr double kPiOver2Third = 0x1.3198a2ep-69;
constexpr double kPiOver2Rest = 0x1.b839a252049c1p-104;

// a + b = sum + error exactly, whatever the sizes of a and b.
template <typename D>
struct ExactSum
{
    D sum;
    D error;
};

template <typename D>
[[gnu::always_inline]] inline ExactSum<D> exactSum(D a, D b)
{
    const D sum = a + b;
    const D bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// The sine of each lane's argument, for arguments of at most kLargestArgument in magnitude.
template <int32 lanes>
[[gnu::always_inline]] inline typename Lanes<lanes>::Doubles faithfulSine(typename Lanes<lanes>::Doubles x)
{
    using D = typename Lanes<lanes>::Doubles;
    using B = typename Lanes<lanes>::Bits;
    const auto quadrant = SineLanes::nearestQuadrant<D, B>(x);
    const D k = quadrant.k;
    // x and k * first lie so close together that their difference is exact; the next two pieces
    // are taken away with their rounding errors kept, the rest is far below what counts.
    const ExactSum<D> second = exactSum(x - k * kPiOver2First, -(k * kPiOver2Second));
    const ExactSum<D> third = exactSum(second.sum, -(k * kPiOver2Third));
    const D low = (second.error + third.error) - k * kPiOver2Rest;
    // The remainder r + y, with y below half an ulp of r.
    const D r = third.sum + low;
    const D y = low - (r - third.sum);

    // sin(r + y) ~ sin r + y cos r ~ r + r^3 S(z) + y (1 - z/2), summed smallest first.
    const D z = r * r;
    const D v = z * r;
    const D sine = r - ((z * (0.5 * y - v * SineLanes::sineTail(z)) - y) - v * SineLanes::kSine1);
    // cos(r + y) ~ cos r - y sin r ~ (1 - z/2) + z^2 C(z) - r y, where 1 - z/2 is rounded to w and
    // its rounding error is added back.
    const D hz = 0.5 * z;
    const D w = 1.0 - hz;
    const D cosine = w + (((1.0 - w) - hz) + (z * (z * SineLanes::cosineTail(z)) - r * y));
    return SineLanes::inQuadrant(quadrant.bits, sine, cosine);
}

// sin(x[k]) for one vector of arguments: in lanes within kLargestArgument, the library's beyond
// it and for infinities and NaN.
template <int32 lanes>
[[gnu::always_inline]] inline void faithfulSineVector(const double* x, double* out)
{
    using D = typename Lanes<lanes>::Doubles;
    using B = typename Lanes<lanes>::Bits;
    D args;
    __builtin_memcpy(&args, x, sizeof args);
    const D s = faithfulSine<lanes>(args);
    __builtin_memcpy(out, &s, sizeof s);
    const D magnitude = std::bit_cast<D>(std::bit_cast<B>(args) & 0x7fffffffffffffffull);
    const auto beyond = ~(magnitude <= SineLanes::kLargestArgument);
    if (std::bit_cast<typename Lanes<lanes>::WholeMask>(
            __builtin_convertvector(beyond, typename Lanes<lanes>::Ints)) != 0)
        for (int32 lane = 0; lane < lanes; ++lane)
            if (beyond[lane] != 0)
                out[lane] = std::sin(args[lane]);
}

// out[k] = sin(x[k]) for k < count. The last few arguments are padded to a whole vector, so every
// argument goes through the same lane arithmetic wherever it stands.
template <int32 lanes>
void faithfulSines(const double* x, double* out, int32 count)
{
    int32 k = 0;
    for (; k + lanes <= count; k += lanes)
        faithfulSineVector<lanes>(x + k, out + k);
    if (k == count)
        return;
    double lastArgs[lanes] = {};
    double lastSines[lanes];
    for (int32 lane = 0; k + lane < count; ++lane)
        lastArgs[lane] = x[k + lane];
    faithfulSineVector<lanes>(lastArgs, lastSines);
    for (int32 lane = 0; k + lane < count; ++lane)
        out[k + lane] = lastSines[lane];
}

// The build for AVX2, called only on a processor that has it.
void faithfulSinesAvx2(const double* x, double* out, int32 count);

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
