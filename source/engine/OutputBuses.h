#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <type_traits>

namespace Steinberg::Vst::TaviroPlugIn {

// The buffer of one channel of one output bus in the sample type T, or null when the host did not
// provide it (fewer buses, fewer channels, a missing pointer, or buffers of the other sample size).
template <typename T>
T* outputChannel(const ProcessData& data, int32 bus, int32 channel)
{
    if (data.outputs == nullptr || bus < 0 || bus >= data.numOutputs || channel < 0)
        return nullptr;
    const AudioBusBuffers& buffers = data.outputs[bus];
    if (channel >= buffers.numChannels)
        return nullptr;
    if constexpr (std::is_same_v<T, float>)
    {
        if (data.symbolicSampleSize != kSample32 || buffers.channelBuffers32 == nullptr)
            return nullptr;
        return buffers.channelBuffers32[channel];
    }
    else
    {
        if (data.symbolicSampleSize != kSample64 || buffers.channelBuffers64 == nullptr)
            return nullptr;
        return buffers.channelBuffers64[channel];
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
