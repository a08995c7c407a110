#pragma once

#include <optional>

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// How a knob turns, from the document: Shift slows every drag, wheel notch and arrow key down by the
// zoom factor; the angles (degrees, clockwise from three o'clock) place the value range on the dial
// for the circular knob modes.
struct KnobMotion
{
    double zoomFactor = 1.5;
    double startAngle = 135;
    double rangeAngle = 270;
};

// A knob drawn as one frame of a film strip: frame = value × (frames − 1), rounded. It follows the
// mouse in the host's knob mode: linear (up or right raises the value, the larger of the two
// movements counts, 200 pixels for the whole range), circular (the value under the pointer's angle)
// or relative circular (turning by an angle changes the value by that share of the range). Edits
// reach the host only once the value moves.
class AnimKnob : public Control
{
public:
    static constexpr double kPixelsForFullRange = 200;

    AnimKnob(const Rect& frame, EditorContext& context, ParamID tag, const Bitmap& strip, int frames,
             double frameHeight, const KnobMotion& motion);

    int frameIndex() const;
    void draw(DrawContext& context) override;
    void onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    // A notch nudges the knob by a hundredth of its range.
    bool onWheel(double notches, const Modifiers& modifiers) override;
    // Up and Right raise, Down and Left lower the value by a nudge.
    bool onKeyDown(const KeyEvent& event) override;

private:
    // Where the current stretch of a drag began; a change of Shift starts a new stretch.
    struct Anchor
    {
        Point point;
        ParamValue value = 0;
        bool fine = false;
        std::optional<double> lastAngle;
        double turned = 0; // degrees since the anchor, for the circular modes
    };

    void anchorAt(const MouseEvent& event);
    ParamValue valueFor(Point p);
    std::optional<double> angleAt(Point p) const;
    ParamValue valueAtAngle(double degrees) const;
    void moveTo(ParamValue value);

    const Bitmap& strip;
    int frames;
    double frameHeight;
    KnobMotion motion;
    bool dragging = false;
    bool editing = false;
    KnobMode mode = kLinearMode;
    Anchor anchor;
    Point lastPoint;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
