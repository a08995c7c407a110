#pragma once

#include <optional>

#include "source/editor/Colour.h"
#include "source/editor/Font.h"
#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// How a view with text looks: font, colours and alignment from the document.
struct TextStyle
{
    Font font;
    Colour fontColour{1, 1, 1, 1};
    std::optional<Colour> backColour;
    std::optional<Colour> frameColour;
    TextAlignment alignment = TextAlignment::centre;

    // Background and frame.
    void drawBox(DrawContext& context, const Rect& box) const;
};

// A view bound to one parameter through its control tag.
class Control : public View
{
public:
    Control(const Rect& frame, EditorContext& context, ParamID tag);

    ParamID tag() const { return controlTag; }
    ParamValue value() const { return current; }
    bool takesMouse() const override { return true; }
    bool syncWithParameters() override;

protected:
    // Ctrl-click and double-click put a control back to its parameter's default.
    static bool asksForDefault(const MouseEvent& event)
    {
        return event.modifiers.control || event.clickCount == 2;
    }
    // The parameter's default value in one begin/perform/end gesture.
    void resetToDefault();
    // The value `steps` nudges (wheel notches, arrow keys) away: one entry of a list, otherwise a
    // hundredth of the range, divided by `fineDivisor` for fine adjustment.
    ParamValue nudged(double steps, double fineDivisor = 1) const;
    // Sends a nudged value as part of a quick run of edits.
    void burstTo(ParamValue value);

    EditorContext& context;
    ParamID controlTag;
    ParamValue current;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
