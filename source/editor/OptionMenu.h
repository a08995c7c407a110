#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Shows the bound list parameter's current entry; a press opens a pop-up with all of its entries (the
// frame lets a drag to an entry and release choose it). The wheel over the closed menu steps through
// the entries: away from the user to the one above, towards the user to the one below, one per whole
// notch turned.
class OptionMenu : public Control
{
public:
    OptionMenu(const Rect& frame, EditorContext& context, ParamID tag, const TextStyle& style)
        : Control(frame, context, tag), style(style)
    {
    }

    // The entries of the bound parameter, in value order.
    std::vector<std::string> entries() const;
    std::string currentText() const;

    void draw(DrawContext& context) override;
    void onMouseDown(const MouseEvent& event) override;
    bool onWheel(double notches, const Modifiers&) override;

private:
    TextStyle style;
    double unspentNotches = 0; // the part of a notch the wheel has turned beyond the last step
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
