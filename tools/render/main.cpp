// taviro-render: plays a Standard MIDI File, or the built-in demo song, through the Taviro PlugIn
// VST 3 bundle and writes the result as WAV files.

#include "tools/render/AudioFileWriter.h"
#include "tools/render/BundleLocation.h"
#include "tools/render/DemoSong.h"
#include "tools/render/MidiTiming.h"
#include "tools/render/PluginInfo.h"
#include "tools/render/Progress.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/RenderSession.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <unistd.h>

using namespace Taviro::Render;
namespace fs = std::filesystem;

namespace
{

constexpr int busesWithStems = 16;
constexpr double longestSongSeconds = 2 * 60 * 60;

std::atomic<bool> stopRequested{false};

void requestStop(int)
{
    stopRequested.store(true);
}

std::string formatName(SampleFormat format)
{
    return format == SampleFormat::Pcm24 ? "24-bit" : "32-bit float";
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

MidiSequence loadSong(const RenderOptions& options)
{
    if (options.midiFile.empty())
        return parseMidiFile(demoSongMidiFile());
    return readMidiFile(options.midiFile);
}

void writeDemoMidi(const std::string& path)
{
    auto bytes = demoSongMidiFile();
    std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
        {
            std::remove(temporary.c_str());
            throw AudioFileError("cannot write " + path);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        std::remove(temporary.c_str());
        throw AudioFileError("cannot write " + path);
    }
    std::cout << "Wrote the demo song as MIDI to " << path << "\n";
}

// The mix and, on request, one file per output bus; all appear only when the render succeeds,
// and a stems folder made for a failed render goes again.
class Outputs
{
  public:
    Outputs(const RenderOptions& options, const std::string& mixPath)
    {
        mix = std::make_unique<AudioFileWriter>(mixPath, options.sampleRate, options.format);
        if (options.stemsFolder.empty())
            return;
        std::error_code error;
        if (!fs::exists(options.stemsFolder, error))
            createdFolder = options.stemsFolder;
        fs::create_directories(options.stemsFolder, error);
        if (error)
            throw AudioFileError("cannot create the stems folder " + options.stemsFolder + ": " +
                                 error.message());
        try
        {
            for (int bus = 0; bus < busesWithStems; ++bus)
            {
                char name[32];
                std::snprintf(name, sizeof name, "channel-%02d.wav", bus + 1);
                stems.push_back(std::make_unique<AudioFileWriter>(
                    (fs::path(options.stemsFolder) / name).string(), options.sampleRate, options.format));
            }
        }
        catch (...)
        {
            discard();
            throw;
        }
    }

    ~Outputs()
    {
        if (!committed)
            discard();
    }

    void write(const RenderedBlock& block)
    {
        auto frames = static_cast<std::size_t>(block.frames);
        mix->write(block.mixLeft.data(), block.mixRight.data(), frames);
        for (std::size_t bus = 0; bus < stems.size() && bus < block.busLeft.size(); ++bus)
            stems[bus]->write(block.busLeft[bus].data(), block.busRight[bus].data(), frames);
    }

    void commit()
    {
        for (auto& stem : stems)
            stem->commit();
        mix->commit();
        committed = true;
    }

    bool hasStems() const { return !stems.empty(); }

  private:
    void discard()
    {
        stems.clear(); // removes the temporary files
        mix.reset();
        std::error_code error;
        if (!createdFolder.empty())
            fs::remove(createdFolder, error); // only if empty: never what was there before
    }

    std::unique_ptr<AudioFileWriter> mix;
    std::vector<std::unique_ptr<AudioFileWriter>> stems;
    std::string createdFolder;
    bool committed = false;
};

int render(const RenderOptions& options, const std::string& programPath)
{
    MidiSequence song = loadSong(options);
    TempoMap tempoMap(song, options.sampleRate);
    const std::int64_t songEnd = tempoMap.sampleAt(song.endTick);
    if (songEnd > static_cast<std::int64_t>(longestSongSeconds * options.sampleRate))
        throw MidiFileError((options.midiFile.empty() ? "the song" : options.midiFile) + " lasts " +
                            seconds(tempoMap.secondsAt(song.endTick)) +
                            ", longer than the two hours this tool renders");
    auto events = scheduleEvents(song, tempoMap);

    const std::string outputPath = defaultOutputFile(options);
    Outputs outputs(options, outputPath);

    HostedPlugin plugin(findBundle(options.pluginPath, programPath));
    RenderSettings settings;
    settings.setup = {options.sampleRate, options.blockSize, options.doublePrecision};
    settings.tailLimitSamples = static_cast<std::int64_t>(options.tailLimitSeconds * options.sampleRate);

    const double songSeconds = static_cast<double>(songEnd) / options.sampleRate;
    ProgressDisplay display(songSeconds, isatty(STDERR_FILENO) == 1);
    auto statistics = renderSong(
        plugin, events, songEnd, settings, [&](const RenderedBlock& block) { outputs.write(block); },
        [&](std::int64_t position) { display.update(static_cast<double>(position) / options.sampleRate); },
        stopRequested);
    const double renderedSeconds = static_cast<double>(statistics.frames) / options.sampleRate;
    const double speed = display.realTimeFactor(renderedSeconds);
    display.finish();
    outputs.commit();

    std::string where = options.midiFile.empty() ? fs::absolute(outputPath).string() : outputPath;
    std::cout << "Wrote " << where << ": " << seconds(renderedSeconds) << ", " << options.sampleRate << " Hz "
              << formatName(options.format) << ", peak " << peakText(statistics.peak) << ", " << std::fixed
              << std::setprecision(1) << speed << "x real time";
    if (outputs.hasStems())
        std::cout << "; stems in " << options.stemsFolder;
    std::cout << "\n";
    if (statistics.peak > 1.0 && options.format == SampleFormat::Pcm24)
        std::cerr << "warning: the mix goes above full scale and was clipped; use --format float to keep the "
                     "overs\n";
    if (statistics.tailCut)
        std::cerr << "warning: notes still sounded " << seconds(options.tailLimitSeconds)
                  << " after the song ended; the render stops there (see --tail)\n";
    if (statistics.droppedEvents)
        std::cerr << "warning: " << statistics.droppedEvents
                  << " event(s) did not fit into their block and were dropped\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string program = fs::path(argv[0]).filename().string();
    try
    {
        RenderOptions options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (options.showHelp)
        {
            std::cout << usageText(program);
            return 0;
        }
        if (!options.demoMidiFile.empty())
        {
            writeDemoMidi(options.demoMidiFile);
            return 0;
        }
        if (options.showInfo)
        {
            HostedPlugin plugin(findBundle(options.pluginPath, argv[0]));
            printPluginInfo(plugin, std::cout);
            return 0;
        }
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        return render(options, argv[0]);
    }
    catch (const UsageError& error)
    {
        std::cerr << program << ": " << error.what() << "\n";
        return 2;
    }
    catch (const Interrupted&)
    {
        std::cerr << "\n" << program << ": interrupted; no output written\n";
        return 130;
    }
    catch (const std::exception& error)
    {
        std::cerr << program << ": " << error.what() << "\n";
        return 1;
    }
}
