#pragma once

#include "pluginterfaces/base/ftypes.h"

// static_cast<float>(std::sin(x)) for many arguments at a time, the same float as the library's
// for a fraction of its cost: the sine is worked out in vector lanes (reduction by multiples of
// pi/2, then the sine or cosine polynomial of the remainder) to within an ulp, and narrowing to
// single precision hides the difference from the library except close to a point halfway between
// two floats, where the library answers (NarrowedSineKernel.h).
namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

// out[k] = static_cast<float>(std::sin(x[k])) for k < count, in AVX2 lanes where the engine's wide
// variants are on (WideVectors.h), otherwise in SSE2 lanes.
void narrowedSines(const double* x, float* out, int32 count);

// The builds for each instruction set, for tests; AVX2 only on a processor that has it.
void narrowedSinesSse2(const double* x, float* out, int32 count);
void narrowedSinesAvx2(const double* x, float* out, int32 count);

} // namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine
