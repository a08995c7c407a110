#include "tools/play/PlayOptions.h"

#include "tools/render/RenderOptions.h"

namespace Taviro::Play {

PlayOptions parsePlayOptions(std::span<const std::string> arguments)
{
    PlayOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                throw Render::UsageError(argument + " needs a value");
            return arguments[++i];
        };
        if (argument == "--plugin")
            options.pluginPath = value();
        else if (argument == "--state")
            options.statePath = value();
        else if (argument == "--name")
            options.clientName = value();
        else if (argument == "--no-gui")
            options.gui = false;
        else if (argument == "--multi-out")
            options.multiOut = true;
        else if (argument == "--connect")
            options.connect = true;
        else if (argument == "-h" || argument == "--help")
            options.showHelp = true;
        else
            throw Render::UsageError("unknown argument \"" + argument + "\"");
    }
    return options;
}

std::string playUsageText(const std::string& programName)
{
    return "Usage: " + programName + R"( [options]
Plays the Taviro PlugIn instrument live as a JACK client: MIDI in, audio out, with its editor.

  --plugin PATH   the bundle to load (default: the one built beside the tool, then ~/.vst3)
  --state FILE    where the sound settings are kept between runs
                  (default: ~/.config/taviro-play/state.bin)
  --no-gui        no editor window (no display needed)
  --multi-out     also one stereo pair of output ports per MIDI channel, named after the
                  plug-in's outputs
  --connect       connect the mix to the system playback ports and every hardware MIDI
                  source to the MIDI input
  --name NAME     the JACK client name (default: taviro-play)
  -h, --help      this text

Ports: midi_in, out_L and out_R (the mix of the 16 channels). Ctrl+C, SIGTERM or closing the
window quits and saves the sound settings.
)";
}

} // namespace Taviro::Play
