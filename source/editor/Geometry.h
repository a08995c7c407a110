#pragma once

// Points and rectangles of the editor, in view pixels (before content scaling).
namespace Steinberg::Vst::TaviroPlugIn::Editor {

struct Point
{
    double x = 0;
    double y = 0;
};

struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
    Rect movedBy(double dx, double dy) const { return {x + dx, y + dy, width, height}; }
    // Smaller by `d` on every side (a one-pixel outline on whole pixels runs along insetBy(0.5)).
    Rect insetBy(double d) const { return {x + d, y + d, width - 2 * d, height - 2 * d}; }
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
