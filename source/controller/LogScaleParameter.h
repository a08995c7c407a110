#pragma once

#include "public.sdk/source/vst/vstparameters.h"
#include "source/common/LogScale.h"

namespace Steinberg::Vst {

// An automatable parameter shown on a logarithmic scale (the filter frequencies in hertz). The
// scale is shared and immutable, so all such parameters and the voice filters agree.
class LogScaleParameter : public Parameter
{
public:
    LogScaleParameter(const TChar* title, ParamID tag, const LogScale& scale, UnitID unitID);

    // The scale value printed with the parameter's precision, without units.
    void toString(ParamValue valueNormalized, String128 string) const override;
    // A number on the scale; numbers beyond its ends are taken as the nearest end.
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
    ParamValue toPlain(ParamValue valueNormalized) const override;
    ParamValue toNormalized(ParamValue plainValue) const override;

    // The class name this parameter kind has always reported.
    static FClassID getFClassID() { return "LogScaleParameter<T>"; }
    FClassID isA() const override { return getFClassID(); }
    bool isA(FClassID s) const override { return isTypeOf(s, false); }
    bool isTypeOf(FClassID s, bool askBaseClass = true) const override
    {
        return classIDsEqual(s, getFClassID()) || (askBaseClass && Parameter::isTypeOf(s, true));
    }

private:
    const LogScale& scale;
};

} // namespace Steinberg::Vst
