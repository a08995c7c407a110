#include "source/engine/NarrowedSine.h"

#include "source/engine/NarrowedSineKernel.h"

namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine {

namespace {

// Asked once, when the module loads, never on the audio thread.
const bool hasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

} // namespace

bool cpuHasAvx2()
{
    return hasAvx2;
}

void narrowedSinesSse2(const double* x, float* out, int32 count)
{
    narrowedSines<2>(x, out, count);
}

void narrowedSines(const double* x, float* out, int32 count)
{
    if (hasAvx2)
        narrowedSinesAvx2(x, out, count);
    else
        narrowedSinesSse2(x, out, count);
}

} // namespace Steinberg::Vst::TaviroPlugIn::NarrowedSine
