#pragma once

#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn {

// Anchor of the volume curve: about -15 dB at a volume amount of 0.5.
inline const float kGainK = static_cast<float>(std::pow(10.0, -0.6) * 0.70710677);
// Scale of the lower branch so that both branches meet at 0.5.
inline const float kGainK2 = static_cast<float>(std::pow(10.0, 1.2) * static_cast<double>(kGainK));

// Linear gain for a volume amount b: 24 dB per unit above 0.5, b^3.9863138 below it.
// An amount that is not positive (or not a number) is silence: the lower branch has no real value
// for negative amounts. A gain that overflows is silence too.
inline double gainCurve(float b)
{
    if (!(b > 0.0f))
        return 0.0;
    double gain;
    if (b >= 0.5f)
    {
        const float exponent = (b - 0.5f) * 24.0f / 20.0f;
        gain = std::pow(10.0, static_cast<double>(exponent)) * static_cast<double>(kGainK);
    }
    else
    {
        gain = static_cast<double>(std::pow(b, 3.9863138f) * kGainK2);
    }
    return std::isfinite(gain) ? gain : 0.0;
}

} // namespace Steinberg::Vst::TaviroPlugIn
