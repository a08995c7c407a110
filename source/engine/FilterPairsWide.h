#pragma once

#include "FilterPairs.h"

#include <immintrin.h>

// The AVX2 variant of runFilterPairs: two filter pairs share one four-lane recurrence, a third runs
// as in the baseline; the filters of one-sided sources take a lane each. Each lane does the
// arithmetic of BiquadFilter::process in the same order.
namespace Steinberg::Vst::TaviroPlugIn {

namespace FilterPairsWideDetail {

struct Lanes
{
    __m256d x1, x2, y1, y2;
    __m256d b0, b1, b2, a1, a2;
};

__attribute__((target("avx2"))) inline __m256d join(__m128d low, __m128d high)
{
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(low), high, 1);
}

__attribute__((target("avx2"))) inline Lanes join(const FilterPairsDetail::Lanes& p,
                                                  const FilterPairsDetail::Lanes& q)
{
    return {join(p.x1, q.x1), join(p.x2, q.x2), join(p.y1, q.y1), join(p.y2, q.y2), join(p.b0, q.b0),
            join(p.b1, q.b1), join(p.b2, q.b2), join(p.a1, q.a1), join(p.a2, q.a2)};
}

__attribute__((target("avx2"))) inline __m128d half(__m256d v, int32 h)
{
    return h == 0 ? _mm256_castpd256_pd128(v) : _mm256_extractf128_pd(v, 1);
}

// The history of the lanes back into the pairs' filters.
template <typename T>
__attribute__((target("avx2"))) inline void store(const Lanes& s, FilterPair<T>& p, FilterPair<T>& q)
{
    for (int32 h = 0; h < 2; ++h)
    {
        FilterPairsDetail::Lanes l{};
        l.x1 = half(s.x1, h);
        l.x2 = half(s.x2, h);
        l.y1 = half(s.y1, h);
        l.y2 = half(s.y2, h);
        FilterPair<T>& pair = h == 0 ? p : q;
        FilterPairsDetail::store(l, *pair.left, *pair.right);
    }
}

// The coefficients of step k of two pairs, where either of them moves.
template <typename T>
__attribute__((target("avx2"))) inline void moveCoefficients(Lanes& s, const FilterPair<T>& p,
                                                             const FilterPair<T>& q, int32 k)
{
    const BiquadCoefficients& cp = p.perStep != nullptr ? p.perStep[k] : p.left->getCoefficients();
    const BiquadCoefficients& cq = q.perStep != nullptr ? q.perStep[k] : q.left->getCoefficients();
    s.b0 = _mm256_setr_pd(cp.b0, cp.b0, cq.b0, cq.b0);
    s.b1 = _mm256_setr_pd(cp.b1, cp.b1, cq.b1, cq.b1);
    s.b2 = _mm256_setr_pd(cp.b2, cp.b2, cq.b2, cq.b2);
    s.a1 = _mm256_setr_pd(cp.a1, cp.a1, cq.a1, cq.a1);
    s.a2 = _mm256_setr_pd(cp.a2, cp.a2, cq.a2, cq.a2);
}

// Four values of the sample type as doubles, one per lane.
template <typename T>
__attribute__((target("avx2"))) inline __m256d widen(T a, T b, T c, T d)
{
    if constexpr (sizeof(T) == 4)
        return _mm256_cvtps_pd(_mm_setr_ps(a, b, c, d));
    else
        return _mm256_setr_pd(a, b, c, d);
}

// One step of the four lanes' recurrences, each doing the arithmetic of BiquadFilter::process in
// the same order; the results are rounded to the sample type.
template <typename T>
__attribute__((target("avx2"))) inline void recur(Lanes& s, __m256d x, T (&out)[4])
{
    __m256d y = _mm256_add_pd(_mm256_mul_pd(s.b0, x), _mm256_mul_pd(s.b1, s.x1));
    y = _mm256_add_pd(y, _mm256_mul_pd(s.b2, s.x2));
    y = _mm256_sub_pd(y, _mm256_mul_pd(s.a1, s.y1));
    y = _mm256_sub_pd(y, _mm256_mul_pd(s.a2, s.y2));
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    if constexpr (sizeof(T) == 4)
        _mm_storeu_ps(out, _mm256_cvtpd_ps(y));
    else
        _mm256_storeu_pd(out, y);
}

// One step of both pairs: left and right of p in the low half, of q in the high half.
template <typename T>
__attribute__((target("avx2"))) inline void step(Lanes& s, FilterPair<T>& p, FilterPair<T>& q, int32 k)
{
    T out[4];
    recur(s, widen<T>(p.leftData[k], p.rightData[k], q.leftData[k], q.rightData[k]), out);
    // Right first, so that a mono source keeps the left result.
    p.rightData[k] = out[1];
    p.leftData[k] = out[0];
    q.rightData[k] = out[3];
    q.leftData[k] = out[2];
}

// The filters of up to four one-sided sources, one per lane: each left filter runs there, and its
// right filter, which sees the same values, takes the same history.
template <typename T, int32 count>
struct MonoLanes
{
    static_assert(count >= 2 && count <= 4);

    __attribute__((target("avx2"))) explicit MonoLanes(FilterPair<T>* pairs) : pairs(pairs)
    {
        double h[4][4], c[5][4];
        for (int32 lane = 0; lane < 4; ++lane)
        {
            const BiquadFilter& filter = *pairs[std::min(lane, count - 1)].left;
            const BiquadFilter::History history = filter.getHistory();
            const BiquadCoefficients& coefficients = filter.getCoefficients();
            h[0][lane] = history.x1;
            h[1][lane] = history.x2;
            h[2][lane] = history.y1;
            h[3][lane] = history.y2;
            c[0][lane] = coefficients.b0;
            c[1][lane] = coefficients.b1;
            c[2][lane] = coefficients.b2;
            c[3][lane] = coefficients.a1;
            c[4][lane] = coefficients.a2;
        }
        s = {_mm256_loadu_pd(h[0]), _mm256_loadu_pd(h[1]), _mm256_loadu_pd(h[2]),
             _mm256_loadu_pd(h[3]), _mm256_loadu_pd(c[0]), _mm256_loadu_pd(c[1]),
             _mm256_loadu_pd(c[2]), _mm256_loadu_pd(c[3]), _mm256_loadu_pd(c[4])};
    }

    __attribute__((target("avx2"))) void moveCoefficients(int32 k)
    {
        const BiquadCoefficients* c[4];
        for (int32 lane = 0; lane < 4; ++lane)
        {
            const FilterPair<T>& pair = pairs[std::min(lane, count - 1)];
            c[lane] = pair.perStep != nullptr ? &pair.perStep[k] : &pair.left->getCoefficients();
        }
        s.b0 = _mm256_setr_pd(c[0]->b0, c[1]->b0, c[2]->b0, c[3]->b0);
        s.b1 = _mm256_setr_pd(c[0]->b1, c[1]->b1, c[2]->b1, c[3]->b1);
        s.b2 = _mm256_setr_pd(c[0]->b2, c[1]->b2, c[2]->b2, c[3]->b2);
        s.a1 = _mm256_setr_pd(c[0]->a1, c[1]->a1, c[2]->a1, c[3]->a1);
        s.a2 = _mm256_setr_pd(c[0]->a2, c[1]->a2, c[2]->a2, c[3]->a2);
    }

    __attribute__((target("avx2"))) void step(int32 k)
    {
        T out[4];
        recur(s, widen<T>(source(0)[k], source(1)[k], source(2)[k], source(3)[k]), out);
        for (int32 lane = 0; lane < count; ++lane)
            pairs[lane].leftData[k] = out[lane];
    }

    // The values of a lane; lanes beyond the sources repeat the last one.
    const T* source(int32 lane) const { return pairs[std::min(lane, count - 1)].leftData; }

    __attribute__((target("avx2"))) void store() const
    {
        double h[4][4];
        _mm256_storeu_pd(h[0], s.x1);
        _mm256_storeu_pd(h[1], s.x2);
        _mm256_storeu_pd(h[2], s.y1);
        _mm256_storeu_pd(h[3], s.y2);
        for (int32 lane = 0; lane < count; ++lane)
        {
            const BiquadFilter::History history{h[0][lane], h[1][lane], h[2][lane], h[3][lane]};
            pairs[lane].left->setHistory(history);
            pairs[lane].right->setHistory(history);
        }
    }

    FilterPair<T>* pairs;
    Lanes s;
};

} // namespace FilterPairsWideDetail

// runFilterPairs for two to four pairs whose sources are all one-sided.
template <typename T, int32 count>
__attribute__((target("avx2"))) void runMonoFiltersWide(FilterPair<T>* pairs, int32 length)
{
    FilterPairsWideDetail::MonoLanes<T, count> lanes(pairs);
    bool moving = false;
    for (int32 p = 0; p < count; ++p)
        moving = moving || pairs[p].perStep != nullptr;
    for (int32 k = 0; k < length; ++k)
    {
        if (moving)
            lanes.moveCoefficients(k);
        lanes.step(k);
    }
    lanes.store();
    FilterPairsDetail::keepLastCoefficients(pairs, count, length);
}

// runFilterPairs for two or three pairs.
template <typename T, int32 count>
__attribute__((target("avx2"))) void runFilterPairsWide(FilterPair<T>* pairs, int32 length)
{
    static_assert(count == 2 || count == 3);
    using namespace FilterPairsWideDetail;
    FilterPair<T>& p = pairs[0];
    FilterPair<T>& q = pairs[1];
    Lanes lanes =
        join(FilterPairsDetail::load(*p.left, *p.right), FilterPairsDetail::load(*q.left, *q.right));
    FilterPairsDetail::Lanes third{};
    if constexpr (count == 3)
        third = FilterPairsDetail::load(*pairs[2].left, *pairs[2].right);
    const bool moving = p.perStep != nullptr || q.perStep != nullptr;
    for (int32 k = 0; k < length; ++k)
    {
        if (moving)
            moveCoefficients(lanes, p, q, k);
        step(lanes, p, q, k);
        if constexpr (count == 3)
            FilterPairsDetail::step(third, pairs[2], k);
    }
    store(lanes, p, q);
    if constexpr (count == 3)
        FilterPairsDetail::store(third, *pairs[2].left, *pairs[2].right);
    FilterPairsDetail::keepLastCoefficients(pairs, count, length);
}

template <typename T>
void runFilterPairsWide(FilterPair<T>* pairs, int32 count, int32 length)
{
    bool allMono = true;
    for (int32 p = 0; p < count; ++p)
        allMono = allMono && pairs[p].leftData == pairs[p].rightData;
    if (allMono && count == 3)
        return runMonoFiltersWide<T, 3>(pairs, length);
    if (allMono && count == 2)
        return runMonoFiltersWide<T, 2>(pairs, length);
    switch (count)
    {
    case 2:
        runFilterPairsWide<T, 2>(pairs, length);
        break;
    case 3:
        runFilterPairsWide<T, 3>(pairs, length);
        break;
    default:
        runFilterPairs(pairs, count, length);
        break;
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
