#pragma once

#include "WaveSample.h"

#include <array>
#include <memory>
#include <vector>

namespace Steinberg::Vst::TaviroPlugIn {

// One instrument: zones in load order, each a recording and the key at which it sounds at
// its recorded pitch.
struct MultiSampleSet
{
    std::vector<std::unique_ptr<WaveSample>> samples;
    std::vector<int32> rootKeys; // parallel to samples
};

// The seven sets, in a fixed order; empty while the processor is inactive.
using SampleBank = std::vector<std::unique_ptr<MultiSampleSet>>;

inline constexpr int32 kNumMultiSampleSets = 7;

// Fills an empty bank with the seven sets from the module's resources (see ResourceStore.h); a
// bank already loaded is left as it is. Main thread only, never while voices play.
void loadSampleBank(SampleBank& bank);
// Destroys every record and set; the bank is left empty.
void releaseSampleBank(SampleBank& bank);

// What a Multi Sample oscillator plays for one note.
struct ZoneChoice
{
    int32 setIndex = -1;  // -1: nothing to play
    int32 zoneIndex = -1;
    double rateRatio = 1.0;
};

// Chooses the zone for a note: multiSample is the oscillator's choice 0..7 (0 "Off"), octave its
// octave index (8 = no shift), pitch the played key 0..127.
ZoneChoice selectZone(const SampleBank& bank, int32 multiSample, int32 octave, int32 pitch);

// Single-precision key frequencies; entry 69 is 440 Hz.
extern const std::array<float, 128> noteFrequencyTable;

} // namespace Steinberg::Vst::TaviroPlugIn
