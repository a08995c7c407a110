// The narrowed sine in four AVX2 lanes; this file alone is built for AVX2 and is called only on a
// processor that has it.
#include "source/engine/NarrowedSine.h"

#include "source/engine/NarrowedSineKernel.h"

namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

void narrowedSinesAvx2(const double* x, float* out, int32 count)
{
    narrowedSines<4>(x, out, count);
}

} // namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine
