#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Shows the bound parameter's text. A click starts editing with the whole text selected; typing
// replaces it, Enter or a click elsewhere applies it through the parameter's own text conversion,
// Escape abandons it. A text the parameter rejects leaves the value as it was.
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

    void draw(DrawContext& context) override;
    void onMouseDown(Point) override;
    bool onKeyDown(const KeyEvent& event) override;
    void onFocusLost() override;

private:
    void commit();

    TextStyle style;
    Colour focusColour;
    bool editing = false;
    bool replaceAll = false;
    std::string typed;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
