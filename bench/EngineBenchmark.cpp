// Speed of the voice engine at 48 kHz with 512-sample blocks, in single and double precision.
// Counters: rtf = seconds of audio rendered per CPU second; voices_per_core = rtf x voices, the
// number of such voices one core sustains in real time.
#include "public.sdk/source/vst/hosting/eventlist.h"
#include "source/engine/VoiceProcessor.h"
#include "source/samples/ResourceStoreLinux.h"
#include "source/samples/SampleBank.h"
#include "source/state/InstrumentPrograms.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

constexpr float kSampleRate = 48000.0f;
constexpr int32 kBlock = 512;
constexpr int32 kSynthClarinet = 6; // three "Triangle anti-aliased" oscillators with filters
constexpr int32 kTriangleSet = 4;

// The recorded bank, loaded from the bundle's Resources folder as an activation would.
struct RecordedBank
{
    RecordedBank()
    {
        setResourceFolder(std::string(TAVIRO_BUNDLE_DIR) + "/Contents/Resources");
        loadSampleBank(bank);
    }
    ~RecordedBank() { releaseSampleBank(bank); }
    bool hasTriangles() const { return bank.size() == kNumMultiSampleSets && bank[kTriangleSet]->samples.size() == 28; }
    SampleBank bank;
};

// The processor's 16 stereo output buses.
template <typename T>
struct Outputs
{
    Outputs() : samples(32 * kBlock)
    {
        for (int32 b = 0; b < 16; ++b)
        {
            pointers[b][0] = &samples[(2 * b) * kBlock];
            pointers[b][1] = &samples[(2 * b + 1) * kBlock];
            buses[b].numChannels = 2;
            if constexpr (sizeof(T) == 4)
                buses[b].channelBuffers32 = pointers[b];
            else
                buses[b].channelBuffers64 = pointers[b];
        }
        data.symbolicSampleSize = sizeof(T) == 4 ? kSample32 : kSample64;
        data.numSamples = kBlock;
        data.numOutputs = 16;
        data.outputs = buses;
    }
    std::vector<T> samples;
    T* pointers[16][2];
    AudioBusBuffers buses[16] = {};
    ProcessData data;
};

enum class Sound
{
    synthClarinet,
    threeSines
};

GlobalParameterState stateFor(Sound sound)
{
    GlobalParameterState state{};
    setInitialContents(state);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        state.program[ch] = kSynthClarinet;
        applyProgram(state, ch, nullptr);
        if (sound == Sound::threeSines)
            for (OscillatorSettings& osc : state.oscillators[ch])
            {
                osc.type = 1;
                osc.volume = 0.3;
                osc.filterType = 0;
            }
    }
    return state;
}

template <typename T>
void runEngine(benchmark::State& bench, Sound sound, int32 voices, bool moveFilters)
{
    static RecordedBank bank;
    if (!bank.hasTriangles())
    {
        bench.SkipWithError("the recordings of \"Triangle anti-aliased\" are missing; build taviro_recordings");
        return;
    }
    GlobalParameterState state = stateFor(sound);
    std::unique_ptr<VoiceProcessor> pool(
        createVoiceProcessor(sizeof(T) == 4 ? kSample32 : kSample64, kSampleRate, &state, &bank.bank));
    Outputs<T> out;

    // Notes on the 15 instrument channels, spread over the keyboard, all held.
    EventList on(voices);
    for (int32 n = 0; n < voices; ++n)
    {
        Event e = makeNoteOn(0, static_cast<int16>(n % 15 < 9 ? n % 15 : n % 15 + 1),
                             static_cast<int16>(36 + (n * 7) % 60), 0.8f, n);
        on.addEvent(e);
    }
    out.data.inputEvents = &on;
    pool->process(out.data);
    out.data.inputEvents = nullptr;
    if (pool->activeVoices != voices)
        bench.SkipWithError("not every note found a voice");

    int64 block = 0;
    for (auto _ : bench)
    {
        if (moveFilters)
        {
            const double frequency = (block & 1) ? 0.45 : 0.55;
            for (int32 ch = 0; ch < kNumChannels; ++ch)
                for (OscillatorSettings& osc : state.oscillators[ch])
                    osc.filterFrequency = frequency;
        }
        pool->process(out.data);
        benchmark::DoNotOptimize(out.samples.data());
        ++block;
    }
    if (pool->activeVoices != voices)
        bench.SkipWithError("voices ended during the run");
    const double audioSeconds = static_cast<double>(bench.iterations()) * kBlock / kSampleRate;
    bench.counters["rtf"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    bench.counters["voices_per_core"] = benchmark::Counter(audioSeconds * voices, benchmark::Counter::kIsRate);
}

template <typename T>
void Program6Voices128(benchmark::State& s)
{
    runEngine<T>(s, Sound::synthClarinet, 128, false);
}
template <typename T>
void ThreeSinesVoices128(benchmark::State& s)
{
    runEngine<T>(s, Sound::threeSines, 128, false);
}
template <typename T>
void Program6Voices32FiltersMoving(benchmark::State& s)
{
    runEngine<T>(s, Sound::synthClarinet, 32, true);
}

// Idle cost: a block in which no voice sounds, beside the bare clearing of the 16 output buses
// that every block does.
template <typename T>
void IdleBlock(benchmark::State& bench)
{
    static RecordedBank bank;
    GlobalParameterState state = stateFor(Sound::synthClarinet);
    std::unique_ptr<VoiceProcessor> pool(
        createVoiceProcessor(sizeof(T) == 4 ? kSample32 : kSample64, kSampleRate, &state, &bank.bank));
    Outputs<T> out;
    for (auto _ : bench)
    {
        pool->process(out.data);
        benchmark::DoNotOptimize(out.samples.data());
    }
}
template <typename T>
void ClearSixteenBuses(benchmark::State& bench)
{
    Outputs<T> out;
    for (auto _ : bench)
    {
        for (int32 b = 0; b < 16; ++b)
            for (T* channel : out.pointers[b])
            {
                benchmark::DoNotOptimize(channel);
                std::memset(channel, 0, sizeof(T) * kBlock);
            }
        benchmark::DoNotOptimize(out.samples.data());
    }
}

BENCHMARK_TEMPLATE(Program6Voices128, float)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Program6Voices128, double)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ThreeSinesVoices128, float)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ThreeSinesVoices128, double)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Program6Voices32FiltersMoving, float)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Program6Voices32FiltersMoving, double)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(IdleBlock, float);
BENCHMARK_TEMPLATE(IdleBlock, double);
BENCHMARK_TEMPLATE(ClearSixteenBuses, float);
BENCHMARK_TEMPLATE(ClearSixteenBuses, double);

} // namespace
