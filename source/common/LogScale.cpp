#include "LogScale.h"

#include <cmath>

namespace Steinberg::Vst {
namespace {

// The position within a range, held within 0..1 (not-a-number counts as 0): the single-precision
// power of a negative base has no value.
float unitBase(double position)
{
    const float base = static_cast<float>(position);
    return base > 0.0f ? (base < 1.0f ? base : 1.0f) : 0.0f;
}

} // namespace

LogScale::LogScale(double paramMin, double paramMax, double scaleMin, double scaleMax, double paramMid,
                   double scaleMid)
: scaleRange(scaleMax - scaleMin)
, inverseScaleRange(1.0 / scaleRange)
, paramRange(paramMax - paramMin)
, inverseParamRange(1.0 / paramRange)
, paramMin(paramMin)
, exponent(std::log((scaleMid - scaleMin) / scaleRange) / std::log((paramMid - paramMin) / paramRange))
, inverseExponent(1.0 / exponent)
, scaleMin(scaleMin)
{
}

double LogScale::scale(double param) const
{
    const float base = unitBase((param - paramMin) * inverseParamRange);
    return static_cast<double>(std::pow(base, static_cast<float>(exponent))) * scaleRange + scaleMin;
}

double LogScale::invscale(double value) const
{
    const float base = unitBase((value - scaleMin) * inverseScaleRange);
    return static_cast<double>(std::pow(base, static_cast<float>(inverseExponent))) * paramRange + paramMin;
}

const LogScale filterFrequencyScale(0.0, 1.0, 80.0, 18000.0, 0.5, 1800.0);

} // namespace Steinberg::Vst
