#include "source/editor/TextEdit.h"

#include "source/common/Utf8.h"
#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

void removeLastCharacter(std::string& s)
{
    while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80)
        s.pop_back();
    if (!s.empty())
        s.pop_back();
}

} // namespace

std::string TextEdit::displayedText() const
{
    return editing ? typed : context.parameters().text(controlTag, current);
}

void TextEdit::draw(DrawContext& context)
{
    style.drawBox(context, bounds());
    if (editing)
        context.fillRect(bounds(), focusColour);
    drawText(context, displayedText(), bounds(), style.font, style.fontColour, style.alignment);
    // The caret after the typed text.
    if (editing && !replaceAll)
        context.fillRect({frame.width - 3, 2, 1, frame.height - 4}, style.fontColour);
}

void TextEdit::onMouseDown(Point)
{
    if (editing)
        return;
    typed = context.parameters().text(controlTag, current);
    editing = true;
    replaceAll = true;
    context.setFocus(this);
    context.invalidate();
}

bool TextEdit::onKeyDown(const KeyEvent& event)
{
    if (!editing)
        return false;
    switch (event.key)
    {
    case Key::enter:
        context.setFocus(nullptr);
        return true;
    case Key::escape:
        editing = false;
        context.setFocus(nullptr);
        break;
    case Key::backspace:
        if (replaceAll)
            typed.clear();
        else
            removeLastCharacter(typed);
        replaceAll = false;
        break;
    case Key::character:
        if (event.character < 0x20 || event.character == 0x7F)
            return false;
        if (replaceAll)
            typed.clear();
        replaceAll = false;
        appendUtf8(typed, event.character);
        break;
    }
    context.invalidate();
    return true;
}

void TextEdit::onFocusLost()
{
    if (editing)
        commit();
}

void TextEdit::commit()
{
    editing = false;
    ParameterAccess& parameters = context.parameters();
    if (const auto v = parameters.parse(controlTag, typed))
    {
        parameters.edit(controlTag, *v);
        current = parameters.value(controlTag);
    }
    context.invalidate();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
