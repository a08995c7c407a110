#include "tools/play/LiveProcessor.h"

#include "tools/play/MidiMessage.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace Taviro::Play {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
constexpr int midiChannels = 16;
constexpr int controllerNumbers = 130; // 0..127, channel pressure, pitch bend
} // namespace

LiveProcessor::LiveProcessor(Render::HostedPlugin& plugin)
    : processor(plugin.processor()), buses(plugin.component().getBusCount(kAudio, kOutput)),
      translator([this](int channel, int controller) { return assignment(channel, controller); })
{
    for (int channel = 0; channel < midiChannels; ++channel)
        for (int number = 0; number < controllerNumbers; ++number)
            controllerTable[static_cast<std::size_t>(channel * controllerNumbers + number)] =
                plugin.controllerAssignment(channel, number).value_or(kNoParamId);
    context.state = ProcessContext::kPlaying;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numInputs = 0;
    data.inputs = nullptr;
    data.inputEvents = &events;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;
}

std::optional<std::uint32_t> LiveProcessor::assignment(int channel, int controller) const
{
    if (channel < 0 || channel >= midiChannels || controller < 0 || controller >= controllerNumbers)
        return std::nullopt;
    const std::uint32_t id =
        controllerTable[static_cast<std::size_t>(channel * controllerNumbers + controller)];
    if (id == kNoParamId)
        return std::nullopt;
    return id;
}

void LiveProcessor::prepare(int blockSize, double sampleRate)
{
    data.prepare(static_cast<int32>(buses), 2, blockSize, kSample32);
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.inputEvents = &events;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;
    context.sampleRate = sampleRate;
}

void LiveProcessor::pause()
{
    for (;;)
    {
        int expected = idle;
        if (gate.compare_exchange_weak(expected, paused, std::memory_order_acquire) || expected == paused)
            return;
        // A period is in progress; it ends within one period.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void LiveProcessor::resume()
{
    gate.store(idle, std::memory_order_release);
}

bool LiveProcessor::pushEdit(const ParameterChange& change)
{
    if (edits.push(change))
        return true;
    dropped.fetch_add(1, std::memory_order_relaxed);
    return false;
}

void LiveProcessor::report(const ParameterChange& change)
{
    if (!forController.push(change))
        dropped.fetch_add(1, std::memory_order_relaxed);
}

void LiveProcessor::PeriodInput::note(const Render::NoteCommand& command)
{
    const auto channel = static_cast<int16>(command.channel);
    const auto pitch = static_cast<int16>(command.pitch);
    Event event = command.on ? makeNoteOn(offset, channel, pitch, command.velocity, command.noteId)
                             : makeNoteOff(offset, channel, pitch, command.velocity, command.noteId);
    if (owner.events.addEvent(event) != kResultOk)
        owner.dropped.fetch_add(1, std::memory_order_relaxed);
}

void LiveProcessor::PeriodInput::parameter(const Render::ParameterCommand& command)
{
    if (!owner.inputChanges.addChange(command.id, command.value, offset))
        owner.dropped.fetch_add(1, std::memory_order_relaxed);
    owner.report({command.id, command.value}); // the controller follows, as it does in a DAW
}

bool LiveProcessor::process(std::span<const RawMidi> midi, int frames, std::int64_t frameTime,
                            const PeriodOutputs& out)
{
    int expected = idle;
    if (!gate.compare_exchange_strong(expected, busy, std::memory_order_acquire))
        return false;
    if (frames <= 0 || frames > data.maxSamples())
    {
        gate.store(idle, std::memory_order_release);
        return false;
    }

    events.clear();
    inputChanges.clear();
    outputChanges.clear();
    ParameterChange edit;
    while (edits.pop(edit))
        if (!inputChanges.addChange(edit.id, edit.value, 0))
            dropped.fetch_add(1, std::memory_order_relaxed);
    PeriodInput input{*this};
    for (const RawMidi& message : midi)
    {
        if (auto event = parseMidiMessage(message.bytes, message.size))
        {
            input.offset =
                static_cast<std::int32_t>(std::min(message.frame, static_cast<std::uint32_t>(frames - 1)));
            translator.translate(*event, input);
        }
    }

    data.numSamples = frames;
    context.projectTimeSamples = frameTime;
    context.continousTimeSamples = frameTime;
    const bool processed = processor.process(data) == kResultOk;
    if (processed)
    {
        for (int32 i = 0; i < outputChanges.getParameterCount(); ++i)
        {
            IParamValueQueue* queue = outputChanges.getParameterData(i);
            int32 offset = 0;
            ParamValue value = 0;
            if (queue && queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                report({queue->getParameterId(), value});
        }
        deliver(out, frames);
    }
    gate.store(idle, std::memory_order_release);
    return processed;
}

// Copies every bus to its buffers and sums the buses, in bus order, into the mix.
void LiveProcessor::deliver(const PeriodOutputs& out, int frames)
{
    const auto count = static_cast<std::size_t>(frames);
    if (out.mixLeft)
        std::fill_n(out.mixLeft, count, 0.0f);
    if (out.mixRight)
        std::fill_n(out.mixRight, count, 0.0f);
    for (int bus = 0; bus < buses; ++bus)
    {
        for (int side = 0; side < 2; ++side)
        {
            const float* rendered = data.outputChannel32(bus, side);
            float* mix = side == 0 ? out.mixLeft : out.mixRight;
            const auto port = static_cast<std::size_t>(2 * bus + side);
            float* own = port < out.buses.size() ? out.buses[port] : nullptr;
            if (!rendered)
            {
                if (own)
                    std::fill_n(own, count, 0.0f);
                continue;
            }
            if (own)
                std::copy_n(rendered, count, own);
            if (mix)
                for (std::size_t i = 0; i < count; ++i)
                    mix[i] += rendered[i];
        }
    }
}

} // namespace Taviro::Play
