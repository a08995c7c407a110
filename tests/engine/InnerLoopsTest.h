#pragma once

#include "source/engine/WideVectors.h"

#include <gtest/gtest.h>

#include <string>

namespace Taviro::Test {

// A test that runs with the engine's baseline inner loops and, where the processor has them, the
// AVX2 ones (the parameter says which).
class InnerLoopsTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (GetParam() && !__builtin_cpu_supports("avx2"))
            GTEST_SKIP() << "this processor has no AVX2";
        Steinberg::Vst::TaviroPlugIn::wideVectors() = GetParam();
    }
    void TearDown() override { Steinberg::Vst::TaviroPlugIn::wideVectors() = processorDefault; }

    const bool processorDefault = Steinberg::Vst::TaviroPlugIn::wideVectors();
};

inline std::string innerLoopsName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "Avx2" : "Baseline";
}

} // namespace Taviro::Test
