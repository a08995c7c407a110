#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Shows the bound parameter's text. A click (or Tab from the previous text edit) starts editing with
// the whole text selected; typing replaces it, Left, Right, Home and End move the caret, Backspace and
// Delete remove the character before or after it. Enter, Tab or a click elsewhere applies the text
// through the parameter's own text conversion, Escape abandons it. A text the parameter rejects leaves
// the value as it was. The wheel over a text edit that is not being edited nudges its value.
class TextEdit : public Control
{
public:
    TextEdit(const Rect& frame, EditorContext& context, ParamID tag, const TextStyle& style,
             const Colour& focusColour)
        : Control(frame, context, tag), style(style), focusColour(focusColour)
    {
    }

    bool isEditing() const { return editing; }
    std::string displayedText() const;
    // Byte offset in the typed text before which the next character goes (its end while all of it is
    // selected).
    size_t caretPosition() const { return replaceAll ? typed.size() : caret; }

    void draw(DrawContext& context) override;
    void onMouseDown(const MouseEvent& event) override;
    bool onWheel(double notches, const Modifiers&) override;
    bool onKeyDown(const KeyEvent& event) override;
    bool takesTabFocus() const override { return true; }
    void onTabFocus() override { startEditing(); }
    void onFocusLost() override;

private:
    void startEditing();
    void moveCaret(Key key);
    void insertCharacter(char32_t c);
    void commit();

    TextStyle style;
    Colour focusColour;
    bool editing = false;
    bool replaceAll = false;
    std::string typed;
    size_t caret = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
