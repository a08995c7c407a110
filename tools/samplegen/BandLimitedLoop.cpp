#include "BandLimitedLoop.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace TaviroSampleGen {
namespace {

double harmonicAmplitude(Waveform waveform, int k)
{
    switch (waveform)
    {
    case Waveform::saw:
        // Alternating signs give the rising ramp of the synthetic saw.
        return (k % 2 ? 1.0 : -1.0) / k;
    case Waveform::triangle:
        if (k % 2 == 0)
            return 0.0;
        // Negative first harmonic: falls first, like the synthetic triangle.
        return ((k / 2) % 2 ? 1.0 : -1.0) / (static_cast<double>(k) * k);
    case Waveform::square:
        return k % 2 ? 1.0 / k : 0.0;
    }
    return 0.0;
}

} // namespace

LoopLength chooseLoopLength(double frequency, double sampleRate, double maxCents)
{
    const double framesPerCycle = sampleRate / frequency;
    for (int frames = 1; frames <= 1 << 20; ++frames)
    {
        const int cycles = static_cast<int>(std::lround(frames / framesPerCycle));
        if (cycles < 1)
            continue;
        const double loopFrequency = cycles * sampleRate / frames;
        if (std::abs(1200.0 * std::log2(loopFrequency / frequency)) <= maxCents)
            return {cycles, frames};
    }
    throw std::runtime_error("no loop length fits the frequency");
}

std::vector<double> synthesizeLoop(Waveform waveform, LoopLength length, double sampleRate,
                                   double highestFrequency)
{
    // Every partial completes a whole number of periods in the loop, so its phase at frame n is
    // (k * cycles * n) mod frames steps of one table of sines.
    const int frames = length.frames;
    std::vector<double> sineTable(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        sineTable[static_cast<size_t>(i)] = std::sin(2.0 * std::numbers::pi * i / frames);

    const double fundamental = length.cycles * sampleRate / frames;
    std::vector<double> loop(static_cast<size_t>(frames), 0.0);
    for (int k = 1; k * fundamental < highestFrequency; ++k)
    {
        const double amplitude = harmonicAmplitude(waveform, k);
        if (amplitude == 0.0)
            continue;
        const int64_t step = static_cast<int64_t>(k) * length.cycles % frames;
        int64_t phase = 0;
        for (int n = 0; n < frames; ++n)
        {
            loop[static_cast<size_t>(n)] += amplitude * sineTable[static_cast<size_t>(phase)];
            phase = (phase + step) % frames;
        }
    }

    double peak = 0.0;
    for (double value : loop)
        peak = std::max(peak, std::abs(value));
    for (double& value : loop)
        value /= peak;
    return loop;
}

} // namespace TaviroSampleGen
