#include "source/editor/Control.h"

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

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
