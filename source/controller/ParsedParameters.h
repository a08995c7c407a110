#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The SDK's Parameter and RangeParameter, reading a typed number the same way on every platform.
// The SDK's own reading reports success on Windows when the text holds no number at all (so
// "loud" would set a volume to its minimum); these refuse such texts as they are refused on Linux.
class ParsedParameter : public Parameter
{
public:
    using Parameter::Parameter;
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
};

class ParsedRangeParameter : public RangeParameter
{
public:
    using RangeParameter::RangeParameter;
    // With steps: a whole number (its plain value); without: a plain value, kept within the range.
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
};

} // namespace Steinberg::Vst::TaviroPlugIn
