#pragma once

#include "public.sdk/source/vst/hosting/eventlist.h"
#include "source/engine/Voice.h"
#include "source/engine/VoiceProcessorImplementation.h"
#include "source/state/GlobalParameterState.h"
#include "source/samples/SampleBank.h"

#include <cmath>
#include <memory>
#include <type_traits>
#include <vector>

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

// The events of one block, in the order they are added.
struct Events : EventList
{
    Events() : EventList(256) {}
    Events& add(Event e)
    {
        addEvent(e);
        return *this;
    }
    Events& on(int16 channel, int16 pitch, int32 offset, float velocity = 1.0f, int32 id = -1)
    {
        return add(makeNoteOn(offset, channel, pitch, velocity, id));
    }
    Events& off(int16 channel, int16 pitch, int32 offset, int32 id = -1)
    {
        return add(makeNoteOff(offset, channel, pitch, 0.0f, id));
    }
    Events& expression(uint32 typeId, int32 id, double value)
    {
        Event e{};
        e.type = Event::kNoteExpressionValueEvent;
        e.noteExpressionValue = {typeId, id, value};
        return add(e);
    }
};

// Every channel at master volume 0.5, main volume 1, centre pan, note-offs received; OSC 1 of
// `type` at full volume, 5 ms attack and release, full sustain, no filter or octave shift.
inline GlobalParameterState neutralState(int8 type = 1)
{
    GlobalParameterState state{};
    setInitialContents(state);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        state.masterVolume[ch] = 0.5;
        state.mainVolume[ch] = 1.0;
        state.receiveNoteOff[ch] = 1;
        for (int32 o = 0; o < kNumOscillators; ++o)
            state.oscillators[ch][o] = {o == 0 ? type : int8(0), 1, 0, 0, 1, 0, 0, 0, 0, 8, 1, 0, 0, 0};
    }
    return state;
}

// The documented gain for a volume amount b of at least 0.5 (master volume x 3 x velocity x main
// volume): K = 0.17761719 at 0.5, 24 dB more per unit, the exponent in single precision.
inline double expectedGain(float b)
{
    return std::pow(10.0, static_cast<double>((b - 0.5f) * 24.0f / 20.0f)) * 0.17761719f;
}

// One pool with 16 stereo output buses, rendered block by block.
template <typename T>
struct EngineHarness
{
    using Pool = VoiceProcessorImplementation<T, Voice<T>, 2, 128, GlobalParameterState>;

    explicit EngineHarness(GlobalParameterState initial = neutralState(), float sampleRate = 44100.0f)
    : state(initial), buffers(kNumChannels * 2, std::vector<T>(4096)), recorded(kNumChannels * 2),
      pool(std::make_unique<Pool>(sampleRate, &state, &bank))
    {
        for (int32 c = 0; c < kNumChannels * 2; ++c)
        {
            pointers[c] = buffers[c].data();
            buses[c / 2].numChannels = 2;
            if constexpr (std::is_same_v<T, float>)
                buses[c / 2].channelBuffers32 = pointers + c / 2 * 2;
            else
                buses[c / 2].channelBuffers64 = pointers + c / 2 * 2;
        }
        data.symbolicSampleSize = std::is_same_v<T, float> ? kSample32 : kSample64;
        data.numOutputs = kNumChannels;
        data.outputs = buses;
    }

    // Renders one block into garbage (the pool must clear it); appends every bus to `recorded`.
    void render(int32 numSamples, IEventList* events = nullptr)
    {
        for (auto& buffer : buffers)
            std::fill(buffer.begin(), buffer.end(), T(1234));
        data.numSamples = numSamples;
        data.inputEvents = events;
        pool->process(data);
        for (size_t c = 0; c < buffers.size(); ++c)
            recorded[c].insert(recorded[c].end(), buffers[c].begin(), buffers[c].begin() + numSamples);
    }
    void render(int32 numSamples, Events& events) { render(numSamples, &events); }

    // Everything one bus side (0 left, 1 right) received since construction.
    const std::vector<T>& out(int32 bus, int32 side = 0) const { return recorded[bus * 2 + side]; }
    Voice<T>& voice(int32 index) { return pool->voices[index]; }

    // Adds a 16-bit recording at `rootKey` to set `set`; frame j holds codes[j] on the left side
    // and -codes[j] on the right side.
    void record(int32 set, const std::vector<int16>& codes, int32 channels, int32 rate, int32 rootKey,
                uint64 loopStart = 0, uint64 loopEnd = 0)
    {
        std::vector<uint8>& bytes = storage.emplace_back();
        for (int16 code : codes)
            for (int32 c = 0; c < channels; ++c)
                for (int32 shift : {0, 8})
                    bytes.push_back(static_cast<uint8>(static_cast<uint16>(c == 0 ? code : -code) >> shift));
        while (bank.size() < kNumMultiSampleSets)
            bank.push_back(std::make_unique<MultiSampleSet>());
        bank[set]->samples.push_back(std::make_unique<WaveSample>(
            2, 16, rate, channels, loopEnd > 0, int32(bytes.size()), bytes.data(), loopStart, loopEnd));
        bank[set]->rootKeys.push_back(rootKey);
    }

    GlobalParameterState state;
    SampleBank bank;
    std::vector<std::vector<uint8>> storage;
    std::vector<std::vector<T>> buffers, recorded;
    T* pointers[kNumChannels * 2] = {};
    AudioBusBuffers buses[kNumChannels] = {};
    ProcessData data;
    std::unique_ptr<Pool> pool;
};

} // namespace Taviro::Test
