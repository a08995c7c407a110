#include "source/editor/Control.h"

#include <algorithm>

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void TextStyle::drawBox(DrawContext& context, const Rect& box) const
{
    if (backColour)
        context.fillRect(box, *backColour);
    if (frameColour)
        context.strokeRect(box.insetBy(0.5), *frameColour, 1);
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
