#pragma once

#include <span>
#include <string>

namespace Taviro::Play {

struct PlayOptions
{
    std::string pluginPath; // empty: found as taviro-render finds it
    std::string statePath;  // empty: ~/.config/taviro-play/state.bin
    std::string clientName = "taviro-play";
    bool gui = true;
    bool multiOut = false;
    bool connect = false;
    bool showHelp = false;
};

// Parses the arguments after the program name; malformed ones throw Render::UsageError.
PlayOptions parsePlayOptions(std::span<const std::string> arguments);

std::string playUsageText(const std::string& programName);

} // namespace Taviro::Play
