#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

// Whether the engine's inner loops take their AVX2 variants: on where the processor has AVX2, asked
// once when the module loads, never on the audio thread. The variants give the same values; tests
// switch them off to check the baseline ones too.
inline bool wideVectorsEnabled = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

inline bool& wideVectors()
{
    return wideVectorsEnabled;
}

} // namespace Steinberg::Vst::TaviroPlugIn
