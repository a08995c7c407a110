#include "source/editor/Font.h"

#include <algorithm>
#include <utility>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {
// Condensed, so the short labels of the channel panel fit their boxes.
const char* const kFamily = "DejaVu Sans Condensed";
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

namespace {

// Selects the font drawText sets the text in (smaller when the text is a little too long for its
// box) and returns the start of its baseline.
Point placeText(cairo_t* cr, const std::string& text, const Rect& box, const Font& font,
                TextAlignment alignment, double inset)
{
    cairo_select_font_face(cr, kFamily, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.c_str(), &te);
    const double room = box.width - 2 * inset;
    if (te.x_advance > room && room > 0)
    {
        cairo_set_font_size(cr, font.size * std::max(kSmallestShrink, room / te.x_advance));
        cairo_font_extents(cr, &fe);
        cairo_text_extents(cr, text.c_str(), &te);
    }
    double x = box.x + inset;
    if (alignment == TextAlignment::centre)
        x = box.x + (box.width - te.x_advance) / 2;
    else if (alignment == TextAlignment::right)
        x = box.right() - inset - te.x_advance;
    return {x, box.y + (box.height + fe.ascent - fe.descent) / 2};
}

} // namespace

void drawText(cairo_t* cr, const std::string& text, const Rect& box, const Font& font, const Colour& colour,
              TextAlignment alignment, double inset)
{
    if (text.empty())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_clip(cr);
    const Point at = placeText(cr, text, box, font, alignment, inset);
    setSourceColour(cr, colour);
    cairo_move_to(cr, at.x, at.y);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

double textCaretX(cairo_t* cr, const std::string& text, size_t length, const Rect& box, const Font& font,
                  TextAlignment alignment, double inset)
{
    cairo_save(cr);
    const Point at = placeText(cr, text, box, font, alignment, inset);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text.substr(0, length).c_str(), &te);
    cairo_restore(cr);
    return at.x + te.x_advance;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
