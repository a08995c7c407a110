// Writes the plug-in's 142 recordings as <resource ID>.wav into one folder: the instrument sets
// rendered from the FluidR3 GM SoundFont, the waveform sets by additive synthesis.
#include "BandLimitedLoop.h"
#include "FluidNoteRenderer.h"
#include "InstrumentRecordings.h"
#include "RiffWaveWriter.h"
#include "source/samples/SampleSetLayout.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace TaviroSampleGen {
namespace {

using Steinberg::Vst::TaviroPlugIn::SampleSetLayout;
using Steinberg::Vst::TaviroPlugIn::sampleSetLayouts;

constexpr int kInstrumentRate = 44100;
constexpr int kDrumRate = 96000;
constexpr double kWaveformPeakDbfs = -3.0;
constexpr double kHighestHarmonic = 16000.0;
constexpr double kLoopPitchCents = 0.25;

// Bank positions of the sets.
enum SetPosition
{
    eGuitarClean,
    piano,
    drumSet,
    sawAntiAliased,
    triangleAntiAliased,
    squareAntiAliased,
    mutedEGuitar,
};

// Hold and tail lengths keep the whole bank under about 60 MB; most notes fall below the trim
// level well before them.
std::optional<InstrumentPlan> instrumentPlan(int position)
{
    switch (position)
    {
    case eGuitarClean:
        return InstrumentPlan{.program = 27, .holdSeconds = 5.0, .tailSeconds = 1.0, .tuningCents = {}};
    case piano:
        // The SoundFont's piano is stretch-tuned like a real one: flat in the bass, up to 18 cents
        // sharp in the treble (measured from the strongest of the first four partials).
        return InstrumentPlan{.program = 0,
                              .holdSeconds = 9.0,
                              .tailSeconds = 1.5,
                              .tuningCents = {{24, 6.0},
                                              {27, 6.0},
                                              {40, 7.0},
                                              {87, -5.0},
                                              {92, -7.0},
                                              {96, -10.0},
                                              {99, -11.0},
                                              {102, -18.0},
                                              {104, -18.0}}};
    case drumSet:
        return InstrumentPlan{.bank = 128,
                              .program = 0,
                              .holdSeconds = 3.0,
                              .tailSeconds = 1.0,
                              .mono = true,
                              .bitsPerSample = 24,
                              .tuningCents = {}};
    case mutedEGuitar:
        return InstrumentPlan{
            .program = 28, .holdSeconds = 2.0, .tailSeconds = 1.0, .tuningCents = {{40, 5.0}, {57, 8.0}}};
    default:
        return std::nullopt;
    }
}

Waveform waveformOf(int position)
{
    switch (position)
    {
    case sawAntiAliased:
        return Waveform::saw;
    case triangleAntiAliased:
        return Waveform::triangle;
    default:
        return Waveform::square;
    }
}

double keyFrequency(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

PcmRecording waveformRecording(Waveform waveform, int rootKey)
{
    const LoopLength length = chooseLoopLength(keyFrequency(rootKey), kInstrumentRate, kLoopPitchCents);
    const std::vector<double> loop = synthesizeLoop(waveform, length, kInstrumentRate, kHighestHarmonic);
    const double scale = std::pow(10.0, kWaveformPeakDbfs / 20.0) * 32767.0;

    PcmRecording pcm;
    for (double value : loop)
    {
        const auto sample = static_cast<int32_t>(std::lround(value * scale));
        pcm.values.push_back(sample);
        pcm.values.push_back(sample);
    }
    // The data is exactly the loop: wrapping at its last frame continues the cycle seamlessly.
    pcm.loop = ForwardLoop{0, static_cast<uint32_t>(length.frames)};
    return pcm;
}

void writeRecording(const std::filesystem::path& folder, int resourceId, const PcmRecording& pcm)
{
    const auto path = folder / (std::to_string(resourceId) + ".wav");
    if (!writeFile(path.string(), makeRiffWaveImage(pcm)))
        throw std::runtime_error("cannot write " + path.string());
}

void writeSet(const std::filesystem::path& folder, int position, const std::string& soundFont)
{
    const SampleSetLayout& layout = sampleSetLayouts[static_cast<size_t>(position)];
    if (const auto plan = instrumentPlan(position))
    {
        const int sampleRate = plan->mono ? kDrumRate : kInstrumentRate;
        FluidNoteRenderer renderer(soundFont, sampleRate);
        std::vector<int> rootKeys;
        for (const auto& zone : layout.zones)
            rootKeys.push_back(zone.rootKey);
        const auto recordings = recordInstrument(renderer, *plan, rootKeys, sampleRate);
        for (size_t i = 0; i < recordings.size(); ++i)
            writeRecording(folder, layout.zones[i].resourceId, recordings[i]);
        return;
    }
    for (const auto& zone : layout.zones)
        writeRecording(folder, zone.resourceId, waveformRecording(waveformOf(position), zone.rootKey));
}

} // namespace
} // namespace TaviroSampleGen

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SOUNDFONT]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::string soundFont = argc == 3 ? argv[2] : "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    try
    {
        std::filesystem::create_directories(folder);
        for (int position = 0; position < static_cast<int>(TaviroSampleGen::sampleSetLayouts.size());
             ++position)
            TaviroSampleGen::writeSet(folder, position, soundFont);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "samplegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
