#include "source/editor/Control.h"

#include <algorithm>

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

void Control::resetToDefault()
{
    ParameterAccess& parameters = context.parameters();
    parameters.edit(controlTag, parameters.defaultValue(controlTag));
    current = parameters.value(controlTag);
    context.invalidate();
}

ParamValue Control::nudged(double steps, double fineDivisor) const
{
    constexpr double kNudge = 0.01;
    const int32 stepCount = context.parameters().stepCount(controlTag);
    const double change = stepCount > 0 ? steps / stepCount : steps * kNudge / fineDivisor;
    return std::clamp(current + change, 0.0, 1.0);
}

void Control::burstTo(ParamValue value)
{
    if (value == current)
        return;
    context.burstEdit(controlTag, value);
    current = context.parameters().value(controlTag);
    context.invalidate();
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
