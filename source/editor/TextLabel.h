#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A fixed text.
class TextLabel : public View
{
public:
    TextLabel(const Rect& frame, std::string title, const TextStyle& style)
        : View(frame), title(std::move(title)), style(style)
    {
    }
    const std::string& text() const { return title; }
    void draw(DrawContext& context) override
    {
        style.drawBox(context, bounds());
        drawText(context, title, bounds(), style.font, style.fontColour, style.alignment);
    }

private:
    std::string title;
    TextStyle style;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
