#pragma once

#include "BiquadFilter.h"

#include <emmintrin.h>

namespace Steinberg::Vst::TaviroPlugIn {

// The left and right filters of one oscillator over a stretch of samples, run as one two-lane
// recurrence: both sides share their coefficients, and each lane does exactly the arithmetic of
// BiquadFilter::process in the same order, so the results are identical. A mono source runs its
// value through both lanes and keeps the left result.
template <typename T>
struct FilterPair
{
    BiquadFilter* left = nullptr;
    BiquadFilter* right = nullptr;
    T* leftData = nullptr;
    T* rightData = nullptr; // equal to leftData for a mono source
    // Coefficients per step while frequency or resonance move; null: the filters' own.
    const BiquadCoefficients* perStep = nullptr;
};

namespace FilterPairsDetail {

struct Lanes
{
    __m128d x1, x2, y1, y2;
    __m128d b0, b1, b2, a1, a2;
};

inline Lanes load(const BiquadFilter& l, const BiquadFilter& r)
{
    const BiquadFilter::History hl = l.getHistory(), hr = r.getHistory();
    const BiquadCoefficients& c = l.getCoefficients();
    return {_mm_setr_pd(hl.x1, hr.x1), _mm_setr_pd(hl.x2, hr.x2), _mm_setr_pd(hl.y1, hr.y1),
            _mm_setr_pd(hl.y2, hr.y2), _mm_set1_pd(c.b0),         _mm_set1_pd(c.b1),
            _mm_set1_pd(c.b2),         _mm_set1_pd(c.a1),         _mm_set1_pd(c.a2)};
}

inline void store(const Lanes& s, BiquadFilter& l, BiquadFilter& r)
{
    double v[4][2];
    _mm_storeu_pd(v[0], s.x1);
    _mm_storeu_pd(v[1], s.x2);
    _mm_storeu_pd(v[2], s.y1);
    _mm_storeu_pd(v[3], s.y2);
    l.setHistory({v[0][0], v[1][0], v[2][0], v[3][0]});
    r.setHistory({v[0][1], v[1][1], v[2][1], v[3][1]});
}

template <typename T>
inline void step(Lanes& s, FilterPair<T>& p, int32 k)
{
    if (p.perStep != nullptr)
    {
        const BiquadCoefficients& c = p.perStep[k];
        s.b0 = _mm_set1_pd(c.b0);
        s.b1 = _mm_set1_pd(c.b1);
        s.b2 = _mm_set1_pd(c.b2);
        s.a1 = _mm_set1_pd(c.a1);
        s.a2 = _mm_set1_pd(c.a2);
    }
    const __m128d x = _mm_setr_pd(static_cast<double>(p.leftData[k]), static_cast<double>(p.rightData[k]));
    __m128d y = _mm_add_pd(_mm_mul_pd(s.b0, x), _mm_mul_pd(s.b1, s.x1));
    y = _mm_add_pd(y, _mm_mul_pd(s.b2, s.x2));
    y = _mm_sub_pd(y, _mm_mul_pd(s.a1, s.y1));
    y = _mm_sub_pd(y, _mm_mul_pd(s.a2, s.y2));
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    double out[2];
    _mm_storeu_pd(out, y);
    p.rightData[k] = static_cast<T>(out[1]); // first, so that a mono source keeps the left result
    p.leftData[k] = static_cast<T>(out[0]);
}

// A moving filter keeps the coefficients of its last step.
template <typename T>
inline void keepLastCoefficients(FilterPair<T>* pairs, int32 count, int32 length)
{
    for (int32 p = 0; p < count; ++p)
        if (pairs[p].perStep != nullptr && length > 0)
        {
            pairs[p].left->setCoefficients(pairs[p].perStep[length - 1]);
            pairs[p].right->setCoefficients(pairs[p].perStep[length - 1]);
        }
}

} // namespace FilterPairsDetail

// Runs `count` filter pairs over `length` samples side by side: their recurrences are independent,
// so a processor overlaps them.
template <typename T, int32 count>
void runFilterPairs(FilterPair<T>* pairs, int32 length)
{
    using namespace FilterPairsDetail;
    Lanes lanes[count];
    for (int32 p = 0; p < count; ++p)
        lanes[p] = load(*pairs[p].left, *pairs[p].right);
    for (int32 k = 0; k < length; ++k)
        for (int32 p = 0; p < count; ++p)
            step(lanes[p], pairs[p], k);
    for (int32 p = 0; p < count; ++p)
        store(lanes[p], *pairs[p].left, *pairs[p].right);
    keepLastCoefficients(pairs, count, length);
}

template <typename T>
void runFilterPairs(FilterPair<T>* pairs, int32 count, int32 length)
{
    switch (count)
    {
    case 1: runFilterPairs<T, 1>(pairs, length); break;
    case 2: runFilterPairs<T, 2>(pairs, length); break;
    case 3: runFilterPairs<T, 3>(pairs, length); break;
    default: break;
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
