// The process cycle through the built bundle, as a host drives it: 48 kHz, 512-sample blocks.
//
// BM_Render: 16 channels of program 0 with a three-note chord each, struck again every 40 blocks
// while the last chord still rings out (voices is the average number sounding), one volume
// automation point per channel and block. realtime_factor is seconds of audio per CPU second.
// BM_ParameterChanges: blocks without outputs carrying 64 oscillator edits each, so that only
// the parameter conversion and the reports run; changes_per_second is the rate of edits applied.

#include "tests/support/HostedPlugIn.h"

#include <benchmark/benchmark.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::HostedPlugIn;

namespace {

constexpr double kSampleRate = 48000.0;
constexpr int32 kBlockSize = 512;

void strikeChords(HostedPlugIn& plugIn, bool releaseFirst)
{
    for (int16 channel = 0; channel < 16; ++channel)
    {
        for (int16 pitch : {48, 55, 64})
        {
            if (releaseFirst)
            {
                Event off = makeNoteOff(0, channel, pitch);
                plugIn.events.addEvent(off);
            }
            Event on = makeNoteOn(1, channel, pitch, 0.8f);
            plugIn.events.addEvent(on);
        }
    }
}

void BM_Render(benchmark::State& state)
{
    HostedPlugIn plugIn;
    if (!plugIn.start(static_cast<int32>(state.range(0)), kSampleRate, kBlockSize))
    {
        state.SkipWithError("the processor does not start");
        return;
    }
    int64 block = 0;
    double voices = 0.0;
    for (auto _ : state)
    {
        if (block % 40 == 0)
            strikeChords(plugIn, block > 0);
        for (int32 channel = 0; channel < 16; ++channel)
            plugIn.inputChanges.addChange(static_cast<ParamID>(49 * channel + 42), 0.3 + 0.001 * (block % 100));
        plugIn.run();
        ParamValue count = 0.0;
        if (Taviro::Test::reportedValue(plugIn.outputChanges, 784, count))
            voices += count * 128.0;
        ++block;
    }
    state.counters["realtime_factor"] =
        benchmark::Counter(static_cast<double>(block) * kBlockSize / kSampleRate, benchmark::Counter::kIsRate);
    state.counters["voices"] = block ? voices / static_cast<double>(block) : 0.0;
}
BENCHMARK(BM_Render)->Arg(kSample32)->Arg(kSample64)->Unit(benchmark::kMicrosecond);

void BM_ParameterChanges(benchmark::State& state)
{
    HostedPlugIn plugIn;
    if (!plugIn.start(kSample32, kSampleRate, kBlockSize))
    {
        state.SkipWithError("the processor does not start");
        return;
    }
    plugIn.data.numOutputs = 0;
    constexpr int32 kChangesPerBlock = 64;
    int64 blocks = 0;
    for (auto _ : state)
    {
        for (int32 i = 0; i < kChangesPerBlock; ++i)
            plugIn.inputChanges.addChange(static_cast<ParamID>(49 * (i % 16) + (i + blocks) % 42), 0.01 * (i % 100));
        plugIn.run();
        ++blocks;
    }
    state.counters["changes_per_second"] =
        benchmark::Counter(static_cast<double>(blocks) * kChangesPerBlock, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParameterChanges)->Unit(benchmark::kMicrosecond);

} // namespace
