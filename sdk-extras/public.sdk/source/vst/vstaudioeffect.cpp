#include "public.sdk/source/vst/vstaudioeffect.h"

namespace Steinberg::Vst {
namespace {

template <typename BusType>
BusType* busAt(BusList& list, int32 index)
{
    if (index < 0 || index >= static_cast<int32>(list.size()))
        return nullptr;
    return FCast<BusType>(list.at(index).get());
}

// The list takes over the bus's only reference.
template <typename BusType>
BusType* addBus(BusList& list, BusType* bus)
{
    list.emplace_back(owned(bus));
    return bus;
}

} // namespace

AudioEffect::AudioEffect()
{
    processSetup.processMode = kRealtime;
    processSetup.symbolicSampleSize = kSample32;
    processSetup.maxSamplesPerBlock = 1024;
    processSetup.sampleRate = 44100.0;
}

AudioBus* AudioEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
    return addBus(audioInputs, new AudioBus(name, busType, flags, arr));
}

AudioBus* AudioEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
    return addBus(audioOutputs, new AudioBus(name, busType, flags, arr));
}

EventBus* AudioEffect::addEventInput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
    return addBus(eventInputs, new EventBus(name, busType, flags, channels));
}

EventBus* AudioEffect::addEventOutput(const TChar* name, int32 channels, BusType busType, int32 flags)
{
    return addBus(eventOutputs, new EventBus(name, busType, flags, channels));
}

AudioBus* AudioEffect::getAudioInput(int32 index)
{
    return busAt<AudioBus>(audioInputs, index);
}

AudioBus* AudioEffect::getAudioOutput(int32 index)
{
    return busAt<AudioBus>(audioOutputs, index);
}

EventBus* AudioEffect::getEventInput(int32 index)
{
    return busAt<EventBus>(eventInputs, index);
}

EventBus* AudioEffect::getEventOutput(int32 index)
{
    return busAt<EventBus>(eventOutputs, index);
}

tresult PLUGIN_API AudioEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
        return kInvalidArgument;
    if (numIns > static_cast<int32>(audioInputs.size()) || numOuts > static_cast<int32>(audioOutputs.size()))
        return kResultFalse;
    for (int32 i = 0; i < numIns; ++i)
        getAudioInput(i)->setArrangement(inputs[i]);
    for (int32 i = 0; i < numOuts; ++i)
        getAudioOutput(i)->setArrangement(outputs[i]);
    return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
    AudioBus* bus = dir == kInput ? getAudioInput(index) : getAudioOutput(index);
    if (!bus)
        return kInvalidArgument;
    arr = bus->getArrangement();
    return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API AudioEffect::setupProcessing(ProcessSetup& newSetup)
{
    if (canProcessSampleSize(newSetup.symbolicSampleSize) != kResultTrue)
        return kResultFalse;
    processSetup = newSetup;
    return kResultOk;
}

tresult PLUGIN_API AudioEffect::setProcessing(TBool /*state*/)
{
    return kResultOk;
}

tresult PLUGIN_API AudioEffect::process(ProcessData& /*data*/)
{
    return kNotImplemented;
}

} // namespace Steinberg::Vst
