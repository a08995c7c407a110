// On Linux the C library's sine is faithful, so the faithful sine in lanes stays within an ulp of
// it: two lanes of SSE2, or four of AVX2 where the engine's wide variants are on.
#include "source/engine/DoubleSine.h"

#include "source/engine/DoubleSineKernel.h"
#include "source/engine/WideVectors.h"

namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

void sines(const double* x, double* out, int32 count)
{
    if (wideVectors())
        faithfulSinesAvx2(x, out, count);
    else
        faithfulSines<2>(x, out, count);
}

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
