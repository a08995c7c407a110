#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

// Whether the engine's inner loops take their AVX2 variants: on where the processor has AVX2.
// The variants give the same values; tests switch them off to check the baseline ones too.
inline bool& wideVectors()
{
    static bool enabled = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return enabled;
}

} // namespace Steinberg::Vst::TaviroPlugIn
