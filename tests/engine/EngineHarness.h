#pragma once

#include "source/engine/Voice.h"
#include "source/engine/VoiceProcessorImplementation.h"
#include "source/processor/GlobalParameterState.h"
#include "source/samples/SampleBank.h"
#include "tests/support/EventList.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace Taviro::Test {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

// A plain oscillator: full volume, instant attack, no decay, full sustain, short release, no filter.
inline OscillatorSettings plainOscillator(int8 type)
{
    OscillatorSettings s{};
    s.type = type;
    s.volume = 1.0;
    s.sustainLevel = 1.0;
    s.releaseTime = 0.0;
    s.octave = 8;
    s.filterFrequency = 1.0;
    return s;
}

// A parameter state with every channel at a known, neutral setting and OSC 1 of every channel
// set to `type`; OSC 2 and 3 off.
inline GlobalParameterState neutralState(int8 type = 1)
{
    GlobalParameterState state{};
    setInitialContents(state);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        state.masterVolume[ch] = 0.5;
        state.mainVolume[ch] = 1.0;
        state.panorama[ch] = 0.5;
        state.modWheel[ch] = 0.0;
        state.pitchBend[ch] = 1.0;
        state.receiveNoteOff[ch] = 1;
        state.oscillators[ch][0] = plainOscillator(type);
        state.oscillators[ch][1] = plainOscillator(0);
        state.oscillators[ch][2] = plainOscillator(0);
    }
    return state;
}

// The gain curve worked out independently: 24 dB per unit above 0.5, b^3.9863138 below.
inline double expectedGain(double masterVolume, double velocity, double mainVolume, double expression = 0.0)
{
    const float b = static_cast<float>(masterVolume * 3.0 * velocity * mainVolume + expression);
    const float k = static_cast<float>(std::pow(10.0, -0.6) * 0.70710677);
    if (b >= 0.5f)
        return std::pow(10.0, static_cast<double>((b - 0.5f) * 24.0f / 20.0f)) * k;
    return static_cast<double>(std::pow(b, 3.9863138f) * static_cast<float>(std::pow(10.0, 1.2) * k));
}

// One pool with 16 stereo output buses, rendered block by block.
template <typename T>
struct EngineHarness
{
    using Pool = VoiceProcessorImplementation<T, Voice<T>, 2, 128, GlobalParameterState>;

    explicit EngineHarness(GlobalParameterState initial = neutralState(), float sampleRate = 44100.0f,
                           int32 maxBlock = 4096)
    : state(initial), buffers(kNumChannels * 2, std::vector<T>(static_cast<size_t>(maxBlock)))
    {
        pool = std::make_unique<Pool>(sampleRate, &state, &bank);
        for (int32 b = 0; b < kNumChannels; ++b)
        {
            pointers[b][0] = buffers[b * 2].data();
            pointers[b][1] = buffers[b * 2 + 1].data();
            buses[b].numChannels = 2;
            buses[b].silenceFlags = 0;
            if constexpr (std::is_same_v<T, float>)
                buses[b].channelBuffers32 = pointers[b];
            else
                buses[b].channelBuffers64 = pointers[b];
        }
        data.symbolicSampleSize = std::is_same_v<T, float> ? kSample32 : kSample64;
        data.numOutputs = kNumChannels;
        data.outputs = buses;
    }

    // Renders one block; the output of every bus is appended to `recorded`.
    void render(int32 numSamples, EventList* events = nullptr)
    {
        for (auto& buffer : buffers)
            std::fill(buffer.begin(), buffer.end(), T(1234)); // the pool must clear what it owns
        data.numSamples = numSamples;
        data.inputEvents = events;
        pool->process(data);
        recorded.resize(buffers.size());
        for (size_t c = 0; c < buffers.size(); ++c)
            recorded[c].insert(recorded[c].end(), buffers[c].begin(), buffers[c].begin() + numSamples);
    }

    // Recorded output of one bus side since construction (0 = left, 1 = right).
    const std::vector<T>& out(int32 bus, int32 side = 0) const { return recorded[bus * 2 + side]; }

    Voice<T>& voice(int32 index) { return pool->voices[index]; }

    GlobalParameterState state;
    SampleBank bank;
    std::vector<std::vector<T>> buffers;
    std::vector<std::vector<T>> recorded;
    T* pointers[kNumChannels][2] = {};
    AudioBusBuffers buses[kNumChannels] = {};
    ProcessData data;
    std::unique_ptr<Pool> pool;
};

// 16-bit recording whose frame j holds codes[j] on the left side and -codes[j] on the right side.
inline std::unique_ptr<WaveSample> recording16(std::vector<uint8>& storage, const std::vector<int16>& codes,
                                               int32 channels, int32 sampleRate)
{
    storage.clear();
    for (int16 code : codes)
        for (int32 c = 0; c < channels; ++c)
        {
            const uint16 u = static_cast<uint16>(c == 0 ? code : static_cast<int16>(-code));
            storage.push_back(static_cast<uint8>(u & 0xff));
            storage.push_back(static_cast<uint8>(u >> 8));
        }
    auto sample = std::make_unique<WaveSample>();
    sample->bytesPerSample = 2;
    sample->bitsPerSample = 16;
    sample->sampleRate = sampleRate;
    sample->channels = channels;
    sample->dataSize = static_cast<int32>(storage.size());
    sample->data = storage.data();
    return sample;
}

// A bank whose seven sets each hold nothing, except set `setIndex` which holds `sample` at `rootKey`.
inline void fillBank(SampleBank& bank, int32 setIndex, std::unique_ptr<WaveSample> sample, int32 rootKey)
{
    bank.clear();
    for (int32 s = 0; s < kNumMultiSampleSets; ++s)
        bank.push_back(std::make_unique<MultiSampleSet>());
    bank[setIndex]->samples.push_back(std::move(sample));
    bank[setIndex]->rootKeys.push_back(rootKey);
}

} // namespace Taviro::Test
