#include "source/editor/CheckBox.h"

#include <algorithm>

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void CheckBox::draw(cairo_t* cr)
{
    look.text.drawBox(cr, bounds());
    const double box = std::min(14.0, frame.height - 4);
    const double y = (frame.height - box) / 2;
    setSourceColour(cr, look.boxFill);
    cairo_rectangle(cr, 2, y, box, box);
    cairo_fill(cr);
    setSourceColour(cr, look.boxFrame);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 2.5, y + 0.5, box - 1, box - 1);
    cairo_stroke(cr);
    if (isChecked())
    {
        setSourceColour(cr, look.checkmark);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, 2 + box * 0.22, y + box * 0.52);
        cairo_line_to(cr, 2 + box * 0.42, y + box * 0.74);
        cairo_line_to(cr, 2 + box * 0.8, y + box * 0.26);
        cairo_stroke(cr);
    }
    drawText(cr, title, {box + 6, 0, frame.width - box - 6, frame.height}, look.text.font, look.text.fontColour,
             TextAlignment::left, 0);
}

void CheckBox::onMouseDown(const MouseEvent&)
{
    context.parameters().edit(controlTag, isChecked() ? 0.0 : 1.0);
    current = context.parameters().value(controlTag);
    context.invalidate();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
