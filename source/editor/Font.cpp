#include "source/editor/Font.h"

#include <algorithm>
#include <utility>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

constexpr double kSmallestShrink = 0.75;

struct Placement
{
    Font font;
    Point origin; // the start of the baseline
};

// Where drawText sets a text: in its font, or a little smaller when the text is a little too long
// for its box, rather than cut off.
Placement placeText(DrawContext& context, const std::string& text, const Rect& box, const Font& font,
                    TextAlignment alignment, double inset)
{
    Font used = font;
    TextMetrics metrics = context.measureText(text, used);
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
    return {used, {x, box.y + (box.height + metrics.ascent - metrics.descent) / 2}};
}

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
    const Placement placed = placeText(context, text, box, font, alignment, inset);
    context.save();
    context.clip(box);
    context.showText(text, placed.origin, placed.font, colour);
    context.restore();
}

double textCaretX(DrawContext& context, const std::string& text, size_t length, const Rect& box, const Font& font,
                  TextAlignment alignment, double inset)
{
    const Placement placed = placeText(context, text, box, font, alignment, inset);
    return placed.origin.x + context.measureText(text.substr(0, length), placed.font).width;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
