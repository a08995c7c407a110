#pragma once

#include <cstdint>
#include <vector>

namespace TaviroSampleGen {

enum class Waveform
{
    saw,      // all harmonics, amplitude 1/k
    triangle, // odd harmonics, amplitude 1/k^2 with alternating sign
    square,   // odd harmonics, amplitude 1/k
};

// A whole number of cycles that fills a loop of `frames` frames exactly, so that the loop plays
// at cycles * sampleRate / frames Hz.
struct LoopLength
{
    int cycles = 0;
    int frames = 0;
};

// The shortest loop whose pitch lies within maxCents of the frequency.
LoopLength chooseLoopLength(double frequency, double sampleRate, double maxCents);

// One loop of the waveform made from its exact harmonic series, keeping only harmonics below
// highestFrequency. Values are in double precision with a peak of 1.
std::vector<double> synthesizeLoop(Waveform waveform, LoopLength length, double sampleRate,
                                   double highestFrequency);

} // namespace TaviroSampleGen
