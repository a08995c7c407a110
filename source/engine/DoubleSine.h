#pragma once

#include "pluginterfaces/base/ftypes.h"

// std::sin(x) for many arguments at a time, for the double-precision voice. Where the platform's
// library sine is faithful (each result one of the two doubles around the true sine), ours is the
// faithful sine worked out in vector lanes, so it is the library's result or one of its neighbours;
// elsewhere it is the library's own.
namespace Steinberg::Vst::TaviroPlugIn::DoubleSine {

// out[k] = sin(x[k]) for k < count. The result for an argument does not depend on its place in x,
// nor on count, nor on whether the engine's wide variants are on (WideVectors.h).
void sines(const double* x, double* out, int32 count);

} // namespace Steinberg::Vst::TaviroPlugIn::DoubleSine
