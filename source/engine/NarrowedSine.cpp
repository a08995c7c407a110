#include "source/engine/NarrowedSine.h"

#include "source/engine/NarrowedSineKernel.h"
#include "source/engine/WideVectors.h"

namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

void narrowedSinesSse2(const double* x, float* out, int32 count)
{
    narrowedSines<2>(x, out, count);
}

void narrowedSines(const double* x, float* out, int32 count)
{
    if (wideVectors())
        narrowedSinesAvx2(x, out, count);
    else
        narrowedSinesSse2(x, out, count);
}

} // namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine
