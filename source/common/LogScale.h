#pragma once

// A logarithmic mapping between a normalised range and a physical scale, fixed by three points
// (both ends and a middle point). The filter-frequency parameter displays with it and the voice
// filters turn their normalised frequency into hertz with the same instance, so what the display
// says is what the filter does. Powers are taken in single precision.
namespace Steinberg::Vst {

class LogScale
{
public:
    LogScale(double paramMin, double paramMax, double scaleMin, double scaleMax, double paramMid,
             double scaleMid);

    // Normalised value to scale value (e.g. hertz). Both directions take a value outside the range
    // as the nearest end and not-a-number as the lower end.
    double scale(double param) const;
    // Scale value back to a normalised value.
    double invscale(double value) const;

    double scaleRange;
    double inverseScaleRange;
    double paramRange;
    double inverseParamRange;
    double paramMin;
    double exponent;
    double inverseExponent;
    double scaleMin;
};

// 80 Hz at 0, 1800 Hz at 0.5, 18000 Hz at 1: f = 80 + 17920 * v^3.381090167355506.
extern const LogScale filterFrequencyScale;

} // namespace Steinberg::Vst
