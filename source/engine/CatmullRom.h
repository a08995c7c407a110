#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

// Four-point cubic through y0 (t = 0) and y1 (t = 1), with the neighbours ym1 and y2 setting
// the slopes.
// The weights depend on t alone, so the two sides of a stereo frame share them. They are worked
// out for one fraction or for the lanes of a vector of them (two for SSE2, four for AVX2) in the
// same order of operations, so every lane gets the weights of its fraction alone.
template <int lanes>
struct WeightLanes;

template <>
struct WeightLanes<1>
{
    using Doubles = double;
};

template <>
struct WeightLanes<2>
{
    using Doubles = double __attribute__((vector_size(16)));
    using Bits = long long __attribute__((vector_size(16)));
};

template <>
struct WeightLanes<4>
{
    using Doubles = double __attribute__((vector_size(32)));
    using Bits = long long __attribute__((vector_size(32)));
};

template <int lanes>
struct CatmullRomWeightsOf
{
    using V = typename WeightLanes<lanes>::Doubles;

    [[gnu::always_inline]] explicit CatmullRomWeightsOf(const V& t)
    {
        const V t2 = t * t;
        const V t3 = t2 * t;
        w0 = 1.5 * t3 - 2.5 * t2 + 1.0;
        wm1 = t2 - 0.5 * t3 - 0.5 * t;
        w1 = 2.0 * t2 - 1.5 * t3 + 0.5 * t;
        w2 = 0.5 * t3 - 0.5 * t2;
    }
    V w0, wm1, w1, w2;
};

struct CatmullRomWeights : CatmullRomWeightsOf<1>
{
    explicit CatmullRomWeights(double t) : CatmullRomWeightsOf<1>(t) {}
    double operator()(double ym1, double y0, double y1, double y2) const
    {
        return w0 * y0 + wm1 * ym1 + w1 * y1 + w2 * y2;
    }
};

inline double catmullRom(double t, double ym1, double y0, double y1, double y2)
{
    return CatmullRomWeights(t)(ym1, y0, y1, y2);
}

} // namespace Steinberg::Vst::TaviroPlugIn
