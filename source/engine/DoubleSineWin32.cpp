// The Windows runtime's sine is not faithful for large arguments (it can lie several ulps from the
// true sine), so no other routine could stay within an ulp of it: the voice takes the library's.
#include "source/engine/DoubleSine.h"

#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

void sines(const double* x, double* out, int32 count)
{
    for (int32 k = 0; k < count; ++k)
        out[k] = std::sin(x[k]);
}

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
