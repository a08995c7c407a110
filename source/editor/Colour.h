#pragma once

#include <optional>
#include <string_view>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

struct Colour
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

// "#rrggbb" or "#rrggbbaa"; nothing for anything else.
std::optional<Colour> parseHexColour(std::string_view text);

// The framework's built-in colours that the UI description refers to ("~ BlackCColor", ...).
std::optional<Colour> builtInColour(std::string_view name);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
