#pragma once

#include "FluidNoteRenderer.h"
#include "RiffWaveWriter.h"

#include <map>
#include <span>
#include <vector>

namespace TaviroSampleGen {

// How the zones of one instrument set are recorded from the SoundFont.
struct InstrumentPlan
{
    int bank = 0;
    int program = 0;
    int velocity = 100;
    double holdSeconds = 1.0; // key held this long, then released
    double tailSeconds = 1.0; // at most this much release tail
    bool mono = false;        // mixed down to one channel (drums)
    int bitsPerSample = 16;
    // Cents by root key that pull the SoundFont's tuning to equal temperament where it strays.
    std::map<int, double> tuningCents;
};

// Records every root key of a set with one gain for the whole set, so that keys keep their
// natural relative loudness and the loudest one peaks near -1 dBFS. Each recording ends where it
// has fallen below about -70 dBFS.
std::vector<PcmRecording> recordInstrument(FluidNoteRenderer& renderer, const InstrumentPlan& plan,
                                           std::span<const int> rootKeys, int sampleRate);

} // namespace TaviroSampleGen
