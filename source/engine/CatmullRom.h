#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

// Four-point cubic through y0 (t = 0) and y1 (t = 1), with the neighbours ym1 and y2 setting
// the slopes.
inline double catmullRom(double t, double ym1, double y0, double y1, double y2)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (1.5 * t3 - 2.5 * t2 + 1.0) * y0 + (t2 - 0.5 * t3 - 0.5 * t) * ym1 +
           (2.0 * t2 - 1.5 * t3 + 0.5 * t) * y1 + (0.5 * t3 - 0.5 * t2) * y2;
}

} // namespace Steinberg::Vst::TaviroPlugIn
