#pragma once

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The plug-in window's fixed size, 946 × 565 times the content scale, as the host negotiates it.
struct EditorViewSize
{
    static constexpr int kWidth = 946;
    static constexpr int kHeight = 565;

    // The host's factor kept within what the editor draws sensibly.
    static double limited(double factor);
    static ViewRect rect(double scale);
    // IPlugView::onSize: only the editor's own size is accepted.
    static tresult accept(const ViewRect* newSize, double scale);
    // IPlugView::checkSizeConstraint: any rectangle becomes the editor's size at its origin.
    static tresult constrain(ViewRect* r, double scale);
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
