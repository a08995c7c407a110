#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// An on/off switch with its title; a click toggles the bound parameter between 0 and 1.
class CheckBox : public Control
{
public:
    struct Look
    {
        TextStyle text;
        Colour boxFrame{0.67, 0.67, 0.67, 1};
        Colour boxFill{0, 0, 0, 1};
        Colour checkmark{1, 1, 1, 1};
    };

    CheckBox(const Rect& frame, EditorContext& context, ParamID tag, std::string title, const Look& look)
        : Control(frame, context, tag), title(std::move(title)), look(look)
    {
    }

    bool isChecked() const { return current > 0.5; }
    void draw(DrawContext& context) override;
    void onMouseDown(const MouseEvent&) override;

private:
    std::string title;
    Look look;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
