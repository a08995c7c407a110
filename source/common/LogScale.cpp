#include "LogScale.h"

#include <cmath>

namespace Steinberg::Vst {

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
    const float base = static_cast<float>((param - paramMin) * inverseParamRange);
    return static_cast<double>(std::pow(base, static_cast<float>(exponent))) * scaleRange + scaleMin;
}

double LogScale::invscale(double value) const
{
    const float base = static_cast<float>((value - scaleMin) * inverseScaleRange);
    return static_cast<double>(std::pow(base, static_cast<float>(inverseExponent))) * paramRange + paramMin;
}

const LogScale filterFrequencyScale(0.0, 1.0, 80.0, 18000.0, 0.5, 1800.0);

} // namespace Steinberg::Vst
