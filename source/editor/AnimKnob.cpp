#include "source/editor/AnimKnob.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "source/editor/Bitmap.h"
#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

// Closer to the centre than this, the pointer's angle is too unsteady to follow.
constexpr double kSteadyRadius = 3;

double wrapDegrees(double degrees) { return degrees - 360 * std::floor(degrees / 360); }

// A document's motion with any value that would stop or break the knob (no zoom, no range, not a
// number) replaced by the usual one.
KnobMotion usable(const KnobMotion& motion)
{
    const KnobMotion fallback;
    const auto positive = [](double v, double limit) { return std::isfinite(v) && v > 0 && v <= limit; };
    return {positive(motion.zoomFactor, 100) ? motion.zoomFactor : fallback.zoomFactor,
            std::isfinite(motion.startAngle) ? motion.startAngle : fallback.startAngle,
            positive(motion.rangeAngle, 360) ? motion.rangeAngle : fallback.rangeAngle};
}

} // namespace

AnimKnob::AnimKnob(const Rect& frame, EditorContext& context, ParamID tag, const Bitmap& strip, int frames,
                   double frameHeight, const KnobMotion& motion)
    : Control(frame, context, tag), strip(strip), frames(frames), frameHeight(frameHeight),
      motion(usable(motion))
{
}

int AnimKnob::frameIndex() const
{
    return std::clamp(static_cast<int>(std::lround(current * (frames - 1))), 0, frames - 1);
}

void AnimKnob::draw(DrawContext& context) { strip.drawFrame(context, bounds(), frameIndex(), frameHeight); }

void AnimKnob::onMouseDown(const MouseEvent& event)
{
    if (asksForDefault(event))
    {
        resetToDefault();
        return;
    }
    dragging = true;
    editing = false;
    mode = context.knobMode();
    anchorAt(event);
    lastPoint = event.position;
    // In circular mode the knob jumps to the angle clicked.
    if (mode == kCircularMode && !anchor.fine)
        moveTo(valueFor(event.position));
}

void AnimKnob::onMouseMoved(const MouseEvent& event)
{
    if (!dragging)
        return;
    // Shift pressed or let go starts a new stretch from the last point, at the new speed.
    if (event.modifiers.shift != anchor.fine)
        anchorAt({lastPoint, MouseButton::left, event.modifiers});
    moveTo(valueFor(event.position));
    lastPoint = event.position;
}

void AnimKnob::onMouseUp(const MouseEvent& event)
{
    if (!dragging)
        return;
    onMouseMoved(event);
    dragging = false;
    if (editing)
        context.parameters().endEdit(controlTag);
    editing = false;
}

void AnimKnob::anchorAt(const MouseEvent& event)
{
    anchor = Anchor{event.position, current, event.modifiers.shift, angleAt(event.position), 0};
}

ParamValue AnimKnob::valueFor(Point p)
{
    const double speed = anchor.fine ? 1 / motion.zoomFactor : 1;
    if (mode == kLinearMode)
    {
        // The larger of the two movements, so that a diagonal drag is no faster than a straight one.
        const double up = anchor.point.y - p.y, right = p.x - anchor.point.x;
        const double travel = std::abs(up) >= std::abs(right) ? up : right;
        return anchor.value + travel / kPixelsForFullRange * speed;
    }
    const auto angle = angleAt(p);
    if (!angle)
        return current;
    if (mode == kCircularMode && !anchor.fine)
        return valueAtAngle(*angle);
    // Relative: the turn since the last point, taken the short way round.
    if (anchor.lastAngle)
        anchor.turned += wrapDegrees(*angle - *anchor.lastAngle + 180) - 180;
    anchor.lastAngle = *angle;
    return anchor.value + anchor.turned / motion.rangeAngle * speed;
}

std::optional<double> AnimKnob::angleAt(Point p) const
{
    const double dx = p.x - frame.width / 2, dy = p.y - frame.height / 2;
    if (std::hypot(dx, dy) < kSteadyRadius)
        return std::nullopt;
    // Screen coordinates grow downwards, so this angle runs clockwise.
    return wrapDegrees(std::atan2(dy, dx) * 180 / std::numbers::pi);
}

ParamValue AnimKnob::valueAtAngle(double degrees) const
{
    const double along = wrapDegrees(degrees - motion.startAngle);
    if (along <= motion.rangeAngle)
        return along / motion.rangeAngle;
    // In the gap between the ends: the nearer end.
    return along - motion.rangeAngle < 360 - along ? 1.0 : 0.0;
}

void AnimKnob::moveTo(ParamValue value)
{
    const ParamValue v = std::clamp(value, 0.0, 1.0);
    if (v == current)
        return;
    ParameterAccess& parameters = context.parameters();
    if (!editing)
        parameters.beginEdit(controlTag);
    editing = true;
    parameters.performEdit(controlTag, v);
    current = parameters.value(controlTag);
    context.invalidate();
}

bool AnimKnob::onWheel(double notches, const Modifiers& modifiers)
{
    if (!dragging)
        burstTo(nudged(notches, modifiers.shift ? motion.zoomFactor : 1));
    return true;
}

bool AnimKnob::onKeyDown(const KeyEvent& event)
{
    double steps = 0;
    if (event.key == Key::up || event.key == Key::right)
        steps = 1;
    else if (event.key == Key::down || event.key == Key::left)
        steps = -1;
    if (steps == 0 || dragging)
        return false;
    burstTo(nudged(steps, event.modifiers.shift ? motion.zoomFactor : 1));
    return true;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
