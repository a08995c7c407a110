#include "source/editor/AnimKnob.h"

#include <algorithm>
#include <cmath>

#include "source/editor/Bitmap.h"
#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

int AnimKnob::frameIndex() const
{
    return std::clamp(static_cast<int>(std::lround(current * (frames - 1))), 0, frames - 1);
}

void AnimKnob::draw(DrawContext& context) { strip.drawFrame(context, bounds(), frameIndex(), frameHeight); }

void AnimKnob::onMouseDown(Point p)
{
    dragging = true;
    dragStart = p;
    valueAtStart = current;
    context.parameters().beginEdit(controlTag);
}

void AnimKnob::onMouseMoved(Point p)
{
    if (!dragging)
        return;
    const double travel = (dragStart.y - p.y) + (p.x - dragStart.x);
    const ParamValue v = std::clamp(valueAtStart + travel / kPixelsForFullRange, 0.0, 1.0);
    if (v == current)
        return;
    context.parameters().performEdit(controlTag, v);
    current = context.parameters().value(controlTag);
    context.invalidate();
}

bool AnimKnob::onWheel(double notches)
{
    if (dragging)
        return true;
    const ParamValue v = std::clamp(current + notches * 0.01, 0.0, 1.0);
    if (v != current)
    {
        context.parameters().edit(controlTag, v);
        current = context.parameters().value(controlTag);
        context.invalidate();
    }
    return true;
}

void AnimKnob::onMouseUp(Point p)
{
    if (!dragging)
        return;
    onMouseMoved(p);
    dragging = false;
    context.parameters().endEdit(controlTag);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
