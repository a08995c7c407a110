#include "source/editor/CheckBox.h"

#include <algorithm>

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void CheckBox::draw(DrawContext& context)
{
    look.text.drawBox(context, bounds());
    const double box = std::min(14.0, frame.height - 4);
    const double y = (frame.height - box) / 2;
    const Rect square{2, y, box, box};
    context.fillRect(square, look.boxFill);
    context.strokeRect(square.insetBy(0.5), look.boxFrame, 1);
    if (isChecked())
    {
        const Point tick[] = {
            {2 + box * 0.22, y + box * 0.52}, {2 + box * 0.42, y + box * 0.74}, {2 + box * 0.8, y + box * 0.26}};
        context.strokePolyline(tick, look.checkmark, 2);
    }
    drawText(context, title, {box + 6, 0, frame.width - box - 6, frame.height}, look.text.font, look.text.fontColour,
             TextAlignment::left, 0);
}

void CheckBox::onMouseDown(const MouseEvent&)
{
    context.parameters().edit(controlTag, isChecked() ? 0.0 : 1.0);
    current = context.parameters().value(controlTag);
    context.invalidate();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
