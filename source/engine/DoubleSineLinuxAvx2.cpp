// The faithful sine in four AVX2 lanes; this file alone is built for AVX2 and is called only on a
// processor that has it.
#include "source/engine/DoubleSineKernel.h"

namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

void faithfulSinesAvx2(const double* x, double* out, int32 count)
{
    faithfulSines<4>(x, out, count);
}

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
