#pragma once

#include <string>
#include <string_view>

#include "source/editor/DrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

enum class TextAlignment
{
    left,
    centre,
    right
};

// The framework's built-in fonts by name ("~ NormalFont", "~ NormalFontVeryBig", ...); an unknown
// name gives the normal font.
Font builtInFont(std::string_view name);

TextAlignment parseTextAlignment(std::string_view text);

// Draws one line of text inside the rectangle, vertically centred and clipped to it.
void drawText(DrawContext& context, const std::string& text, const Rect& box, const Font& font,
              const Colour& colour, TextAlignment alignment, double inset = 2);

// The x position at which drawText, given the same arguments, ends the first `length` bytes of the
// text: where a caret stands before the byte at `length`.
double textCaretX(DrawContext& context, const std::string& text, size_t length, const Rect& box, const Font& font,
                  TextAlignment alignment, double inset = 2);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
