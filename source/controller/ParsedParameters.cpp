#include "ParsedParameters.h"

#include "source/common/ScanNumber.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn {

bool ParsedParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return scanNumber(string, valueNormalized);
}

bool ParsedRangeParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    if (info.stepCount > 1)
    {
        long long whole = 0;
        if (!scanWholeNumber(string, whole))
            return false;
        valueNormalized = toNormalized(static_cast<ParamValue>(whole));
        return true;
    }
    double plain = 0.0;
    if (!scanNumber(string, plain))
        return false;
    valueNormalized = toNormalized(std::clamp(plain, getMin(), getMax()));
    return true;
}

} // namespace Steinberg::Vst::TaviroPlugIn
