#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <vector>

namespace Steinberg::Vst {

// ProcessData with the host's own output buffers: one AudioBusBuffers per output bus, each with
// its channel buffers in the chosen sample size, allocated once by `prepare` and zeroed. The
// event list and the parameter changes stay the caller's: set `inputEvents`,
// `inputParameterChanges` and `outputParameterChanges` before each block.
class HostProcessData : public ProcessData
{
public:
    HostProcessData() = default;
    HostProcessData(const HostProcessData&) = delete;
    HostProcessData& operator=(const HostProcessData&) = delete;

    // Buffers for every audio output bus the component declares, with the channel count of its
    // bus information. False when the component has no outputs or the sizes are unusable.
    bool prepare(IComponent& component, int32 maxSamplesPerBlock, int32 sampleSize);
    // Buffers for `numBuses` outputs of `channelsPerBus` channels each.
    bool prepare(int32 numBuses, int32 channelsPerBus, int32 maxSamplesPerBlock, int32 sampleSize);

    int32 maxSamples() const { return maxSamplesPerBlock; }
    // Channel buffers; null outside the prepared buses and channels or for the other sample size.
    Sample32* outputChannel32(int32 bus, int32 channel);
    Sample64* outputChannel64(int32 bus, int32 channel);
    // Zeroes every output buffer and silence flag.
    void clearOutputs();

private:
    bool layout(const std::vector<int32>& channelsPerBus, int32 maxSamplesPerBlock, int32 sampleSize);

    std::vector<AudioBusBuffers> busBuffers;
    std::vector<std::vector<Sample32>> samples32;
    std::vector<std::vector<Sample64>> samples64;
    std::vector<Sample32*> channelPointers32;
    std::vector<Sample64*> channelPointers64;
    std::vector<int32> firstChannel; // index of each bus's first channel in the pointer arrays
    int32 maxSamplesPerBlock = 0;
};

} // namespace Steinberg::Vst
