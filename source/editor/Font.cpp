#include "source/editor/Font.h"

#include <algorithm>
#include <utility>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {
constexpr double kSmallestShrink = 0.75;
} // namespace

Font builtInFont(std::string_view name)
{
    static const std::pair<std::string_view, Font> kFonts[] = {
        {"~ SystemFont", {12, false}},         {"~ NormalFontVeryBig", {18, false}},
        {"~ NormalFontBig", {14, false}},      {"~ NormalFont", {12, false}},
        {"~ NormalFontSmall", {11, false}},    {"~ NormalFontSmaller", {10, false}},
        {"~ NormalFontVerySmall", {9, false}}, {"~ SymbolFont", {12, false}},
    };
    for (const auto& [n, f] : kFonts)
        if (n == name)
            return f;
    return {};
}

TextAlignment parseTextAlignment(std::string_view text)
{
    if (text == "left")
        return TextAlignment::left;
    if (text == "right")
        return TextAlignment::right;
    return TextAlignment::centre;
}

void drawText(DrawContext& context, const std::string& text, const Rect& box, const Font& font,
              const Colour& colour, TextAlignment alignment, double inset)
{
    if (text.empty())
        return;
    Font used = font;
    TextMetrics metrics = context.measureText(text, used);
    // A text a little too long for its box is set smaller rather than cut off.
    const double room = box.width - 2 * inset;
    if (metrics.width > room && room > 0)
    {
        used.size = font.size * std::max(kSmallestShrink, room / metrics.width);
        metrics = context.measureText(text, used);
    }
    double x = box.x + inset;
    if (alignment == TextAlignment::centre)
        x = box.x + (box.width - metrics.width) / 2;
    else if (alignment == TextAlignment::right)
        x = box.right() - inset - metrics.width;
    const double y = box.y + (box.height + metrics.ascent - metrics.descent) / 2;
    context.save();
    context.clip(box);
    context.showText(text, {x, y}, used, colour);
    context.restore();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
