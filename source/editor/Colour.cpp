#include "source/editor/Colour.h"

#include <array>
#include <utility>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<Colour> parseHexColour(std::string_view text)
{
    if (text.empty() || text[0] != '#' || (text.size() != 7 && text.size() != 9))
        return std::nullopt;
    std::array<double, 4> channels{0, 0, 0, 1};
    for (size_t i = 0; i * 2 + 1 < text.size(); ++i)
    {
        const int high = hexDigit(text[1 + i * 2]);
        const int low = hexDigit(text[2 + i * 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        channels[i] = (high * 16 + low) / 255.0;
    }
    return Colour{channels[0], channels[1], channels[2], channels[3]};
}

std::optional<Colour> builtInColour(std::string_view name)
{
    static const std::pair<std::string_view, Colour> kColours[] = {
        {"~ BlackCColor", {0, 0, 0, 1}},
        {"~ WhiteCColor", {1, 1, 1, 1}},
        {"~ TransparentCColor", {0, 0, 0, 0}},
        {"~ GreyCColor", {127 / 255.0, 127 / 255.0, 127 / 255.0, 1}},
        {"~ RedCColor", {1, 0, 0, 1}},
        {"~ GreenCColor", {0, 1, 0, 1}},
        {"~ BlueCColor", {0, 0, 1, 1}},
    };
    for (const auto& [n, c] : kColours)
        if (n == name)
            return c;
    return std::nullopt;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
