#include "Processor.h"

#include "source/state/InstrumentPrograms.h"
#include "ParameterConversion.h"
#include "source/ParameterIds.h"
#include "source/engine/OutputBuses.h"
#include "source/module/ClassIds.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <string>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

constexpr int32 kNumOutputBuses = kNumChannels;
constexpr int32 kEventChannels = kNumChannels;
constexpr ParamValue kVoiceCountScale = 0.0078125; // 1 / 128 voices
// Every time and frequency of the engine is worked out from the sample rate; beyond these no
// audio interface runs, and a rate outside them is a damaged setup.
constexpr SampleRate kLowestSampleRate = 1000.0;
constexpr SampleRate kHighestSampleRate = 1000000.0;

std::basic_string<char16> busName(const char* text, int32 number)
{
    std::string ascii = std::string(text) + std::to_string(number);
    return std::basic_string<char16>(ascii.begin(), ascii.end());
}

constexpr int32 kStereoChannels = 2;

// Silence on the output channels from `firstChannel` on that the host gave us: all of them in a
// block without a voice pool; those after the stereo pair, which no voice writes, when a host
// hands a bus more channels than the arrangement it was refused.
template <typename Sample>
void clearOutputs(ProcessData& data, int32 firstChannel)
{
    if (!data.outputs || data.numSamples <= 0)
        return;
    for (int32 bus = 0; bus < data.numOutputs; ++bus)
    {
        AudioBusBuffers& buffers = data.outputs[bus];
        for (int32 c = firstChannel; c < buffers.numChannels; ++c)
        {
            if (Sample* channel = outputChannel<Sample>(data, bus, c))
                std::fill_n(channel, data.numSamples, Sample(0));
            if (c < 64)
                buffers.silenceFlags |= uint64(1) << c;
        }
    }
}

void clearOutputs(ProcessData& data, int32 firstChannel)
{
    if (data.symbolicSampleSize == kSample64)
        clearOutputs<Sample64>(data, firstChannel);
    else
        clearOutputs<Sample32>(data, firstChannel);
}

} // namespace

Processor::Processor()
{
    setControllerClass(kControllerUID);
    setInitialContents(globalParameterState);
}

Processor::~Processor()
{
    voiceProcessor.reset();
    releaseSampleBank(sampleBank);
}

tresult PLUGIN_API Processor::initialize(FUnknown* context)
{
    const tresult result = AudioEffect::initialize(context);
    if (result != kResultOk)
        return result;
    for (int32 bus = 0; bus < kNumOutputBuses; ++bus)
        addAudioOutput(busName("Audio Output MIDI channel ", bus + 1).c_str(), SpeakerArr::kStereo);
    addEventInput(STR16("Event Input"), kEventChannels);
    return kResultOk;
}

tresult PLUGIN_API Processor::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns != 0 || numOuts != kNumOutputBuses || !outputs)
        return kResultFalse;
    for (int32 bus = 0; bus < numOuts; ++bus)
        if (outputs[bus] != SpeakerArr::kStereo)
            return kResultFalse;
    return AudioEffect::setBusArrangements(inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API Processor::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API Processor::setupProcessing(ProcessSetup& setup)
{
    // Written so that not-a-number fails too.
    if (!(setup.sampleRate >= kLowestSampleRate && setup.sampleRate <= kHighestSampleRate))
        return kInvalidArgument;
    return AudioEffect::setupProcessing(setup);
}

tresult PLUGIN_API Processor::setActive(TBool state)
{
    if (state)
    {
        if (!voiceProcessor)
        {
            if (sampleBank.empty())
                loadSampleBank(sampleBank);
            const int32 sampleSize = processSetup.symbolicSampleSize;
            if (sampleSize != kSample32 && sampleSize != kSample64)
                return kInvalidArgument;
            voiceProcessor.reset(createVoiceProcessor(sampleSize, static_cast<float>(processSetup.sampleRate),
                                                      &globalParameterState, &sampleBank));
            if (!voiceProcessor)
                return kOutOfMemory;
            stateHandover.reset(globalParameterState);
        }
    }
    else
    {
        // A restore that no block has taken over yet still counts.
        stateHandover.takeOver(globalParameterState);
        voiceProcessor.reset();
        releaseSampleBank(sampleBank);
    }
    return AudioEffect::setActive(state);
}

tresult PLUGIN_API Processor::setState(IBStream* state)
{
    if (!state)
        return kResultFalse;
    if (!voiceProcessor)
        return globalParameterState.setState(state);
    return stateHandover.restore([state](GlobalParameterState& copy) { return copy.setState(state); });
}

tresult PLUGIN_API Processor::getState(IBStream* state)
{
    if (!voiceProcessor)
        return globalParameterState.getState(state);
    return stateHandover.newest().getState(state);
}

tresult PLUGIN_API Processor::process(ProcessData& data)
{
    // Hosts must not process an inactive component; if one does, it gets silence, no state
    // change, no report from a pool that does not exist, and an answer that says why.
    if (!voiceProcessor)
    {
        clearOutputs(data, 0);
        return kNotInitialized;
    }

    stateHandover.takeOver(globalParameterState);
    if (applyParameterChanges(data.inputParameterChanges))
        stateHandover.publish(globalParameterState);

    if (data.numOutputs >= 1)
    {
        const tresult result = voiceProcessor->process(data);
        if (result != kResultOk)
            return result;
        clearOutputs(data, kStereoChannels);
    }

    if (data.outputParameterChanges)
        reportToHost(*data.outputParameterChanges);
    return kResultOk;
}

bool Processor::applyParameterChanges(IParameterChanges* changes)
{
    if (!changes)
        return false;
    bool changed = false;
    const int32 count = changes->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (!queue)
            continue;
        // Only the block's last value counts, for the whole block.
        const int32 points = queue->getPointCount();
        int32 sampleOffset = 0;
        ParamValue value = 0.0;
        if (points <= 0 || queue->getPoint(points - 1, sampleOffset, value) != kResultOk)
            continue;
        changed |= applyParameterValue(globalParameterState, pendingParameterIds, queue->getParameterId(), value);
    }
    return changed;
}

void Processor::reportToHost(IParameterChanges& changes)
{
    int32 index = 0;
    if (IParamValueQueue* queue = changes.addParameterData(kActiveVoicesId, index))
        queue->addPoint(0, voiceProcessor->activeVoices * kVoiceCountScale, index);

    if (pendingParameterIds.empty())
        return;
    const ParamID id = pendingParameterIds.top();
    pendingParameterIds.pop();
    ParamValue value = 0.0;
    if (IParamValueQueue* queue = changes.addParameterData(id, index))
        if (reportedParameterValue(globalParameterState, id, value))
            queue->addPoint(0, value, index);
}

} // namespace Steinberg::Vst::TaviroPlugIn
