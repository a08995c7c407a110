#include "tools/render/RenderSession.h"

#include "tools/render/MidiTranslator.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace Taviro::Render
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr ParamID voiceCountParameter = 784;
constexpr int voicePoolSize = 128;
constexpr int32 eventCapacity = 16384;
constexpr int32 parameterCapacity = 1024;

// Collects what the translator makes of one block's MIDI events.
class BlockInput
{
  public:
    explicit BlockInput(IEditController* controller) : controller(controller), events(eventCapacity) {}

    void begin()
    {
        events.clear();
        changes.clear();
    }

    void at(std::int32_t offset) { currentOffset = offset; }

    void note(const NoteCommand& command)
    {
        auto channel = static_cast<int16>(command.channel);
        auto pitch = static_cast<int16>(command.pitch);
        Event event = command.on
                          ? makeNoteOn(currentOffset, channel, pitch, command.velocity, command.noteId)
                          : makeNoteOff(currentOffset, channel, pitch, command.velocity, command.noteId);
        if (events.addEvent(event) != kResultOk)
            ++dropped;
    }

    // The plug-in applies the last value of a block, so one point per parameter carries it,
    // at the offset of the last change.
    void parameter(const ParameterCommand& command) { changes[command.id] = {currentOffset, command.value}; }

    void finish(ParameterChanges& queues)
    {
        for (const auto& [id, change] : changes)
        {
            if (!queues.addChange(id, change.second, change.first))
                ++dropped;
            if (controller)
                controller->setParamNormalized(id, change.second);
        }
    }

    IEventList* eventList() { return &events; }
    std::int64_t droppedCount() const { return dropped; }

  private:
    IEditController* controller;
    EventList events;
    std::map<ParamID, std::pair<int32, ParamValue>> changes;
    std::int32_t currentOffset = 0;
    std::int64_t dropped = 0;
};

// Reads the block's output parameter changes: forwards them to the controller and answers the
// voice count if the plug-in reported one.
std::optional<int> takeOutputChanges(ParameterChanges& outputs, IEditController* controller)
{
    std::optional<int> voices;
    for (int32 i = 0; i < outputs.getParameterCount(); ++i)
    {
        IParamValueQueue* queue = outputs.getParameterData(i);
        if (!queue || queue->getPointCount() <= 0)
            continue;
        int32 offset = 0;
        ParamValue value = 0;
        if (queue->getPoint(queue->getPointCount() - 1, offset, value) != kResultOk)
            continue;
        ParamID id = queue->getParameterId();
        if (controller)
            controller->setParamNormalized(id, value);
        if (id == voiceCountParameter)
            voices = static_cast<int>(std::lround(value * voicePoolSize));
    }
    return voices;
}

template <typename Sample>
void collectOutputs(HostProcessData& data, int32 buses, RenderedBlock& block, double& peak)
{
    const auto frames = static_cast<std::size_t>(block.frames);
    std::fill_n(block.mixLeft.begin(), frames, 0.0);
    std::fill_n(block.mixRight.begin(), frames, 0.0);
    for (int32 bus = 0; bus < buses; ++bus)
    {
        Sample* left;
        Sample* right;
        if constexpr (sizeof(Sample) == sizeof(Sample32))
        {
            left = data.outputChannel32(bus, 0);
            right = data.outputChannel32(bus, 1);
        }
        else
        {
            left = data.outputChannel64(bus, 0);
            right = data.outputChannel64(bus, 1);
        }
        auto& busLeft = block.busLeft[static_cast<std::size_t>(bus)];
        auto& busRight = block.busRight[static_cast<std::size_t>(bus)];
        for (std::size_t i = 0; i < frames; ++i)
        {
            busLeft[i] = left ? left[i] : 0.0;
            busRight[i] = right ? (right[i]) : busLeft[i];
            block.mixLeft[i] += busLeft[i];
            block.mixRight[i] += busRight[i];
        }
    }
    for (std::size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::abs(block.mixLeft[i]), std::abs(block.mixRight[i])});
}

} // namespace

RenderStatistics renderSong(HostedPlugin& plugin, std::span<const ScheduledEvent> events,
                            std::int64_t songEnd, const RenderSettings& settings,
                            const std::function<void(const RenderedBlock&)>& consume,
                            const std::function<void(std::int64_t position)>& progress,
                            const std::atomic<bool>& stopRequested)
{
    const ProcessingSetup& setup = settings.setup;
    const int32 sampleSize = setup.doublePrecision ? kSample64 : kSample32;
    const int32 buses = plugin.component().getBusCount(kAudio, kOutput);

    HostProcessData data;
    if (!data.prepare(plugin.component(), setup.blockSize, sampleSize))
        throw HostError("the plug-in declares no usable audio outputs");
    plugin.startProcessing(setup);

    IEditController* controller = plugin.controller();
    BlockInput input(controller);
    ParameterChanges inputChanges(parameterCapacity, 1);
    ParameterChanges outputChanges(parameterCapacity, 4);
    ProcessContext context{};
    context.state = ProcessContext::kPlaying;
    context.sampleRate = setup.sampleRate;

    data.processMode = kOffline;
    data.symbolicSampleSize = sampleSize;
    data.numInputs = 0;
    data.inputs = nullptr;
    data.inputEvents = input.eventList();
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;

    MidiTranslator translator([&plugin](int channel, int number)
                              { return plugin.controllerAssignment(channel, number); });
    BlockCursor cursor(events);

    RenderedBlock block;
    block.busLeft.assign(static_cast<std::size_t>(buses),
                         std::vector<double>(static_cast<std::size_t>(setup.blockSize)));
    block.busRight = block.busLeft;
    block.mixLeft.assign(static_cast<std::size_t>(setup.blockSize), 0.0);
    block.mixRight = block.mixLeft;

    RenderStatistics statistics;
    std::optional<int> voices;
    bool released = false;
    std::int64_t start = 0;
    for (;;)
    {
        if (stopRequested.load())
            throw Interrupted();

        input.begin();
        inputChanges.clear();
        outputChanges.clear();
        cursor.forEachInBlock(start, setup.blockSize,
                              [&](const MidiEvent& event, std::int32_t offset)
                              {
                                  input.at(offset);
                                  translator.translate(event, input);
                              });
        if (!released && start + setup.blockSize > songEnd)
        {
            input.at(static_cast<std::int32_t>(std::max<std::int64_t>(0, songEnd - start)));
            translator.releaseAll(input);
            released = true;
        }
        input.finish(inputChanges);

        data.numSamples = setup.blockSize;
        context.projectTimeSamples = start;
        if (plugin.processor().process(data) != kResultOk)
            throw HostError("the plug-in failed to process the block at sample " + std::to_string(start));
        if (auto reported = takeOutputChanges(outputChanges, controller))
            voices = reported;

        block.frames = setup.blockSize;
        if (sampleSize == kSample32)
            collectOutputs<Sample32>(data, buses, block, statistics.peak);
        else
            collectOutputs<Sample64>(data, buses, block, statistics.peak);
        consume(block);

        start += setup.blockSize;
        progress(start);
        bool songOver = start >= songEnd && cursor.finished();
        if (songOver && voices.value_or(0) == 0)
            break;
        if (start >= songEnd + settings.tailLimitSamples)
        {
            statistics.tailCut = true;
            break;
        }
    }
    plugin.stopProcessing();
    statistics.frames = start;
    statistics.droppedEvents = input.droppedCount();
    return statistics;
}

} // namespace Taviro::Render
