#include "source/editor/TextEdit.h"

#include <cmath>

#include "source/common/Utf8.h"
#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The byte offsets of the characters before and after `at` in UTF-8 text.
size_t previousCharacter(const std::string& s, size_t at)
{
    while (at > 0 && continuesCharacter(s[--at]))
        ;
    return at;
}

size_t nextCharacter(const std::string& s, size_t at)
{
    if (at < s.size())
        ++at;
    while (at < s.size() && continuesCharacter(s[at]))
        ++at;
    return at;
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
    // The caret where the next character goes.
    if (editing && !replaceAll)
    {
        const double x = textCaretX(context, typed, caret, bounds(), style.font, style.alignment);
        context.fillRect({std::round(x), 2, 1, frame.height - 4}, style.fontColour);
    }
}

void TextEdit::onMouseDown(const MouseEvent& event)
{
    if (asksForDefault(event))
    {
        editing = false; // the default replaces whatever was being typed
        if (context.focus() == this)
            context.setFocus(nullptr);
        resetToDefault();
        return;
    }
    if (!editing)
        startEditing();
}

void TextEdit::startEditing()
{
    typed = context.parameters().text(controlTag, current);
    editing = true;
    replaceAll = true;
    caret = typed.size();
    context.setFocus(this);
    context.invalidate();
}

bool TextEdit::onWheel(double notches, const Modifiers&)
{
    if (editing)
        return false;
    burstTo(nudged(notches));
    return true;
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
    case Key::deleteForward:
        if (replaceAll)
        {
            typed.clear();
            caret = 0;
        }
        else if (event.key == Key::backspace && caret > 0)
        {
            const size_t from = previousCharacter(typed, caret);
            typed.erase(from, caret - from);
            caret = from;
        }
        else if (event.key == Key::deleteForward)
            typed.erase(caret, nextCharacter(typed, caret) - caret);
        replaceAll = false;
        break;
    case Key::left:
    case Key::right:
    case Key::home:
    case Key::end:
        moveCaret(event.key);
        break;
    case Key::character:
        if (event.character < 0x20 || event.character == 0x7F)
            return false;
        insertCharacter(event.character);
        break;
    default:
        return false;
    }
    context.invalidate();
    return true;
}

void TextEdit::insertCharacter(char32_t c)
{
    if (replaceAll)
    {
        typed.clear();
        caret = 0;
    }
    replaceAll = false;
    std::string encoded;
    appendUtf8(encoded, c);
    typed.insert(caret, encoded);
    caret += encoded.size();
}

// With the whole text selected, Left and Home go to its start, Right and End to its end.
void TextEdit::moveCaret(Key key)
{
    if (key == Key::home || (replaceAll && key == Key::left))
        caret = 0;
    else if (key == Key::end || (replaceAll && key == Key::right))
        caret = typed.size();
    else if (key == Key::left)
        caret = previousCharacter(typed, caret);
    else
        caret = nextCharacter(typed, caret);
    replaceAll = false;
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
