#pragma once

#include "tools/render/AudioFileWriter.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace Taviro::Render
{

class UsageError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

struct RenderOptions
{
    std::string midiFile;     // empty: the built-in demo song
    std::string outputFile;   // empty: derived from the MIDI file's name, or taviro-demo.wav
    std::string stemsFolder;  // empty: no stems
    std::string pluginPath;   // empty: the bundle built beside the tool
    std::string demoMidiFile; // non-empty: write the demo song as a MIDI file and stop
    int sampleRate = 48000;
    int blockSize = 512;
    bool doublePrecision = false;
    SampleFormat format = SampleFormat::Pcm24;
    double tailLimitSeconds = 30.0; // how long to wait after the last event for voices to end
    bool showInfo = false;
    bool showHelp = false;
};

// Parses the arguments after the program name; malformed ones throw UsageError with a message
// fit for the user.
RenderOptions parseCommandLine(std::span<const std::string> arguments);

// The output file when none is given: the MIDI file's name with ".wav", in the current folder.
std::string defaultOutputFile(const RenderOptions& options);

std::string usageText(const std::string& programName);

} // namespace Taviro::Render
