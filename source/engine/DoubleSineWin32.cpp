// The Windows runtime's sine is not faithful at large arguments (on about a fifth of those up to
// 2e5 it differs from a faithful sine by more than an ulp), so no other routine could stay within
// an ulp of it: the voice takes the library's.
#include "source/engine/DoubleSine.h"

#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

void sines(const double* x, double* out, int32 count)
{
    for (int32 k = 0; k < count; ++k)
        out[k] = std::sin(x[k]);
}

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
