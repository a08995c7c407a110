#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Shows the bound list parameter's current entry; a click opens a pop-up with all of its entries.
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
    void onMouseDown(Point) override;

private:
    TextStyle style;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
