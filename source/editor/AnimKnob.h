#pragma once

#include "source/editor/Control.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A knob drawn as one frame of a film strip: frame = value × (frames − 1), rounded. Dragging up or
// right raises the value; the whole range is 200 pixels of travel.
class AnimKnob : public Control
{
public:
    static constexpr double kPixelsForFullRange = 200;

    AnimKnob(const Rect& frame, EditorContext& context, ParamID tag, const Bitmap& strip, int frames,
             double frameHeight)
        : Control(frame, context, tag), strip(strip), frames(frames), frameHeight(frameHeight)
    {
    }

    int frameIndex() const;
    void draw(DrawContext& context) override;
    void onMouseDown(Point p) override;
    void onMouseMoved(Point p) override;
    void onMouseUp(Point p) override;
    // A notch moves the knob by a hundredth of its range.
    bool onWheel(double notches) override;

private:
    const Bitmap& strip;
    int frames;
    double frameHeight;
    bool dragging = false;
    Point dragStart;
    ParamValue valueAtStart = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
