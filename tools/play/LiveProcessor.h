#pragma once

#include "tools/play/SpscQueue.h"
#include "tools/render/HostedPlugin.h"
#include "tools/render/MidiTranslator.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace Taviro::Play {

struct ParameterChange
{
    std::uint32_t id;
    double value; // normalised
};

// One MIDI message of the period, valid for the period only.
struct RawMidi
{
    std::uint32_t frame;
    const std::uint8_t* bytes;
    std::size_t size;
};

// Where a period's sound goes: the stereo mix and, per output bus, a left and a right buffer
// (`buses[2 * bus + side]`). Any of them may be null.
struct PeriodOutputs
{
    float* mixLeft = nullptr;
    float* mixRight = nullptr;
    std::span<float* const> buses;
};

// The hosted plug-in's side of live playing, apart from the audio system. `process` runs on the
// audio thread and allocates nothing and takes no lock: its lists are sized by `prepare`, and what
// does not fit is dropped and counted. Edits reach it through a lock-free queue; the parameter
// changes it sends or receives (MIDI controllers, program changes, the processor's reports) go the
// other way through another, for the main thread to hand to the controller.
//
// `pause` and `resume` fence the main thread's work on the processor (activation, set-up): while
// paused, and while the main thread waits for a period in progress to end, `process` refuses.
class LiveProcessor
{
public:
    static constexpr int eventCapacity = 2048;
    static constexpr int parameterQueues = 512;
    static constexpr int pointsPerQueue = 64;
    static constexpr std::size_t queueCapacity = 8192;

    explicit LiveProcessor(Render::HostedPlugin& plugin);

    // Main thread, paused: buffers for periods of up to `blockSize` frames.
    void prepare(int blockSize, double sampleRate);
    void pause();
    void resume();

    // Audio thread. False when the period was not processed (paused, longer than prepared, or
    // refused by the plug-in); the caller then outputs silence.
    bool process(std::span<const RawMidi> midi, int frames, std::int64_t frameTime, const PeriodOutputs& out);
    // Audio thread: events the caller could not hand over.
    void countDropped(std::uint64_t count) { dropped.fetch_add(count, std::memory_order_relaxed); }

    // Main thread: an edit for the processor; false (and counted) when the queue is full.
    bool pushEdit(const ParameterChange& change);
    // Main thread: hands every waiting change for the controller to `take`.
    template <typename Take>
    void drainForController(Take&& take)
    {
        ParameterChange change;
        while (forController.pop(change))
            take(change);
    }

    std::uint64_t droppedCount() const { return dropped.load(std::memory_order_relaxed); }
    int outputBuses() const { return buses; }

private:
    // Collects what the translator makes of one period's MIDI.
    struct PeriodInput
    {
        LiveProcessor& owner;
        std::int32_t offset = 0;
        void note(const Render::NoteCommand& command);
        void parameter(const Render::ParameterCommand& command);
    };

    std::optional<std::uint32_t> assignment(int channel, int controller) const;
    void deliver(const PeriodOutputs& out, int frames);
    void report(const ParameterChange& change);

    enum Gate : int
    {
        paused,
        idle,
        busy
    };

    Steinberg::Vst::IAudioProcessor& processor;
    int buses;
    // The controller's MIDI mapping, read once: the audio thread never calls the controller.
    std::array<std::uint32_t, 16 * 130> controllerTable;
    Render::MidiTranslator translator;
    Steinberg::Vst::HostProcessData data;
    Steinberg::Vst::EventList events{eventCapacity};
    Steinberg::Vst::ParameterChanges inputChanges{parameterQueues, pointsPerQueue};
    Steinberg::Vst::ParameterChanges outputChanges{parameterQueues, pointsPerQueue};
    Steinberg::Vst::ProcessContext context{};
    SpscQueue<ParameterChange> edits{queueCapacity};
    SpscQueue<ParameterChange> forController{queueCapacity};
    std::atomic<int> gate{paused};
    std::atomic<std::uint64_t> dropped{0};
};

} // namespace Taviro::Play
