#pragma once

#include <cmath>

#include "source/editor/InputEvents.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Counts presses of one button that follow each other closely in time and place, for windows whose
// platform does not report double-clicks itself.
class ClickCounter
{
public:
    static constexpr double kIntervalMilliseconds = 400;
    static constexpr double kDistance = 4;

    // The click count of a press at `milliseconds` (the platform's event time).
    int press(MouseButton button, Point p, double milliseconds)
    {
        const double elapsed = milliseconds - lastTime;
        const bool follows = count > 0 && button == lastButton && elapsed >= 0 &&
                             elapsed <= kIntervalMilliseconds && std::abs(p.x - lastPoint.x) <= kDistance &&
                             std::abs(p.y - lastPoint.y) <= kDistance;
        count = follows ? count + 1 : 1;
        lastButton = button;
        lastPoint = p;
        lastTime = milliseconds;
        return count;
    }

private:
    int count = 0;
    MouseButton lastButton = MouseButton::left;
    Point lastPoint;
    double lastTime = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
