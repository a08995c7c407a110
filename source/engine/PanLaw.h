#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

struct PanGains
{
    double left = 1.0;
    double right = 1.0;
};

// Centre keeps both sides at full level; moving to one side lowers only the other side, linearly,
// to 0 at the end. A value past an end counts as that end, one that is not a number as the centre.
inline PanGains panGains(double pan)
{
    if (pan > 0.5)
        return {(0.5 - (pan < 1.0 ? pan : 1.0)) * 2.0 + 1.0, 1.0};
    if (pan < 0.5)
        return {1.0, (pan > 0.0 ? pan : 0.0) * 2.0};
    return {1.0, 1.0};
}

} // namespace Steinberg::Vst::TaviroPlugIn
