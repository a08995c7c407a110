#include "LogScaleParameter.h"

#include "pluginterfaces/base/ustring.h"
#include "source/common/ScanNumber.h"

#include <algorithm>
#include <cmath>

namespace Steinberg::Vst {

LogScaleParameter::LogScaleParameter(const TChar* title, ParamID tag, const LogScale& scale, UnitID unitID)
: Parameter(title, tag, nullptr, 0.0, 0, ParameterInfo::kCanAutomate, unitID)
, scale(scale)
{
}

void LogScaleParameter::toString(ParamValue valueNormalized, String128 string) const
{
    if (!UString(string, str16BufferSize(String128)).printFloat(toPlain(valueNormalized), precision))
        string[0] = 0;
}

bool LogScaleParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    double plain = 0;
    if (!scanNumber(string, plain))
        return false;
    // "nan" and "inf" parse as numbers but name no frequency.
    if (!std::isfinite(plain))
        return false;
    // Below the scale's start the power would have a negative base and give no number.
    const double lowest = scale.scaleMin;
    const double highest = scale.scaleMin + scale.scaleRange;
    valueNormalized = toNormalized(std::clamp(plain, lowest, highest));
    return true;
}

ParamValue LogScaleParameter::toPlain(ParamValue valueNormalized) const
{
    return scale.scale(valueNormalized);
}

ParamValue LogScaleParameter::toNormalized(ParamValue plainValue) const
{
    return scale.invscale(plainValue);
}

} // namespace Steinberg::Vst
