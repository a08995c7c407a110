#include "tools/render/RenderOptions.h"

#include <charconv>
#include <filesystem>
#include <sstream>

namespace Taviro::Render
{
namespace
{

template <typename Number> std::string numberText(Number value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

template <typename Number>
Number numberArgument(const std::string& option, const std::string& text, Number low, Number high)
{
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError(option + " expects a number from " + numberText(low) + " to " + numberText(high) +
                         ", not \"" + text + "\"");
    return value;
}

SampleFormat formatArgument(const std::string& text)
{
    if (text == "24" || text == "pcm24" || text == "int24")
        return SampleFormat::Pcm24;
    if (text == "float" || text == "float32" || text == "32")
        return SampleFormat::Float32;
    throw UsageError("--format expects 24 or float, not \"" + text + "\"");
}

bool precisionArgument(const std::string& text)
{
    if (text == "32")
        return false;
    if (text == "64")
        return true;
    throw UsageError("--precision expects 32 or 64, not \"" + text + "\"");
}

} // namespace

RenderOptions parseCommandLine(std::span<const std::string> arguments)
{
    RenderOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        std::string option = arguments[i];
        std::string value;
        bool hasInlineValue = false;
        if (option.rfind("--", 0) == 0)
        {
            if (auto equals = option.find('='); equals != std::string::npos)
            {
                value = option.substr(equals + 1);
                option.resize(equals);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&]() -> std::string
        {
            if (hasInlineValue)
                return value;
            if (i + 1 >= arguments.size())
                throw UsageError(option + " needs a value");
            return arguments[++i];
        };
        auto noValue = [&]
        {
            if (hasInlineValue)
                throw UsageError(option + " takes no value");
        };

        if (option == "-h" || option == "--help")
        {
            noValue();
            options.showHelp = true;
        }
        else if (option == "--info")
        {
            noValue();
            options.showInfo = true;
        }
        else if (option == "--64")
        {
            noValue();
            options.doublePrecision = true;
        }
        else if (option == "--32")
        {
            noValue();
            options.doublePrecision = false;
        }
        else if (option == "--precision")
            options.doublePrecision = precisionArgument(takeValue());
        else if (option == "-o" || option == "--out")
            options.outputFile = takeValue();
        else if (option == "--stems")
            options.stemsFolder = takeValue();
        else if (option == "--plugin")
            options.pluginPath = takeValue();
        else if (option == "--write-demo-midi")
            options.demoMidiFile = takeValue();
        else if (option == "-r" || option == "--rate" || option == "--sample-rate")
            options.sampleRate = numberArgument(option, takeValue(), 8000, 384000);
        else if (option == "-b" || option == "--block" || option == "--block-size")
            options.blockSize = numberArgument(option, takeValue(), 1, 8192);
        else if (option == "--format")
            options.format = formatArgument(takeValue());
        else if (option == "--tail")
            options.tailLimitSeconds = numberArgument(option, takeValue(), 0.0, 600.0);
        else if (option.size() > 1 && option[0] == '-')
            throw UsageError("unknown option " + option + " (see --help)");
        else if (options.midiFile.empty())
            options.midiFile = option;
        else
            throw UsageError("more than one MIDI file given: " + options.midiFile + " and " + option);
    }
    if (options.showInfo && !options.midiFile.empty())
        throw UsageError("--info shows the plug-in and renders nothing; leave out the MIDI file");
    return options;
}

std::string defaultOutputFile(const RenderOptions& options)
{
    if (!options.outputFile.empty())
        return options.outputFile;
    if (options.midiFile.empty())
        return "taviro-demo.wav";
    return std::filesystem::path(options.midiFile).filename().replace_extension(".wav").string();
}

std::string usageText(const std::string& programName)
{
    return "Usage: " + programName + R"( [options] [MIDI-FILE]

Plays a Standard MIDI File (format 0 or 1) through the Taviro PlugIn VST 3 bundle and writes the
stereo mix of its 16 outputs to a WAV file. Without a MIDI file it renders the built-in demo song
to taviro-demo.wav.

Options:
  -o, --out FILE          output file (default: the MIDI file's name with .wav, in this folder)
      --stems DIR         also write each MIDI channel's output to DIR/channel-01.wav .. channel-16.wav
      --plugin PATH       the TaviroPlugIn.vst3 bundle to load (default: the one built beside this tool)
  -r, --rate HZ           sample rate, 8000 to 384000 (default 48000)
  -b, --block-size N      samples per processing block, 1 to 8192 (default 512)
      --64, --precision 64
                          process in 64-bit samples (default 32-bit)
      --format 24|float   24-bit integer or 32-bit float WAV (default 24)
      --tail SECONDS      longest wait for notes to fade after the song ends (default 30)
      --info              show what a host sees of the plug-in: classes, buses, parameters,
                          units and program lists
      --write-demo-midi FILE
                          write the demo song as a MIDI file instead of rendering it
  -h, --help              show this help
)";
}

} // namespace Taviro::Render
