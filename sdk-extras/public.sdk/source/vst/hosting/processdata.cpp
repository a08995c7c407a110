#include "public.sdk/source/vst/hosting/processdata.h"

#include <algorithm>

namespace Steinberg::Vst {

bool HostProcessData::prepare(IComponent& component, int32 maxSamples, int32 sampleSize)
{
    const int32 numBuses = component.getBusCount(kAudio, kOutput);
    std::vector<int32> channels;
    for (int32 bus = 0; bus < numBuses; ++bus)
    {
        BusInfo info{};
        if (component.getBusInfo(kAudio, kOutput, bus, info) != kResultOk)
            return false;
        channels.push_back(info.channelCount);
    }
    return layout(channels, maxSamples, sampleSize);
}

bool HostProcessData::prepare(int32 numBuses, int32 channelsPerBus, int32 maxSamples, int32 sampleSize)
{
    if (numBuses < 0)
        return false;
    return layout(std::vector<int32>(static_cast<size_t>(numBuses), channelsPerBus), maxSamples, sampleSize);
}

bool HostProcessData::layout(const std::vector<int32>& channelsPerBus, int32 maxSamples, int32 sampleSize)
{
    if (channelsPerBus.empty() || maxSamples <= 0 || (sampleSize != kSample32 && sampleSize != kSample64))
        return false;
    size_t total = 0;
    for (int32 channels : channelsPerBus)
    {
        if (channels < 0)
            return false;
        total += static_cast<size_t>(channels);
    }

    const size_t length = static_cast<size_t>(maxSamples);
    samples32.clear();
    samples64.clear();
    channelPointers32.assign(total, nullptr);
    channelPointers64.assign(total, nullptr);
    if (sampleSize == kSample32)
        samples32.assign(total, std::vector<Sample32>(length));
    else
        samples64.assign(total, std::vector<Sample64>(length));
    for (size_t i = 0; i < total; ++i)
    {
        if (sampleSize == kSample32)
            channelPointers32[i] = samples32[i].data();
        else
            channelPointers64[i] = samples64[i].data();
    }

    busBuffers.assign(channelsPerBus.size(), AudioBusBuffers());
    firstChannel.assign(channelsPerBus.size(), 0);
    int32 next = 0;
    for (size_t bus = 0; bus < channelsPerBus.size(); ++bus)
    {
        firstChannel[bus] = next;
        AudioBusBuffers& buffers = busBuffers[bus];
        buffers.numChannels = channelsPerBus[bus];
        if (sampleSize == kSample32)
            buffers.channelBuffers32 = channelPointers32.data() + next;
        else
            buffers.channelBuffers64 = channelPointers64.data() + next;
        next += buffers.numChannels;
    }

    maxSamplesPerBlock = maxSamples;
    symbolicSampleSize = sampleSize;
    numSamples = maxSamples;
    numInputs = 0;
    inputs = nullptr;
    numOutputs = static_cast<int32>(busBuffers.size());
    outputs = busBuffers.data();
    return true;
}

Sample32* HostProcessData::outputChannel32(int32 bus, int32 channel)
{
    if (symbolicSampleSize != kSample32 || bus < 0 || bus >= static_cast<int32>(busBuffers.size()) ||
        channel < 0 || channel >= busBuffers[static_cast<size_t>(bus)].numChannels)
        return nullptr;
    return channelPointers32[static_cast<size_t>(firstChannel[static_cast<size_t>(bus)] + channel)];
}

Sample64* HostProcessData::outputChannel64(int32 bus, int32 channel)
{
    if (symbolicSampleSize != kSample64 || bus < 0 || bus >= static_cast<int32>(busBuffers.size()) ||
        channel < 0 || channel >= busBuffers[static_cast<size_t>(bus)].numChannels)
        return nullptr;
    return channelPointers64[static_cast<size_t>(firstChannel[static_cast<size_t>(bus)] + channel)];
}

void HostProcessData::clearOutputs()
{
    for (auto& channel : samples32)
        std::fill(channel.begin(), channel.end(), 0.f);
    for (auto& channel : samples64)
        std::fill(channel.begin(), channel.end(), 0.0);
    for (auto& buffers : busBuffers)
        buffers.silenceFlags = 0;
}

} // namespace Steinberg::Vst
