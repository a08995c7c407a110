#include "source/editor/Control.h"

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void TextStyle::drawBox(cairo_t* cr, const Rect& box) const
{
    if (backColour)
    {
        setSourceColour(cr, *backColour);
        cairo_rectangle(cr, box.x, box.y, box.width, box.height);
        cairo_fill(cr);
    }
    if (frameColour)
    {
        setSourceColour(cr, *frameColour);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1);
        cairo_stroke(cr);
    }
}

Control::Control(const Rect& frame, EditorContext& context, ParamID tag)
    : View(frame), context(context), controlTag(tag), current(context.parameters().value(tag))
{
}

bool Control::syncWithParameters()
{
    const ParamValue now = context.parameters().value(controlTag);
    if (now == current)
        return false;
    current = now;
    return true;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
