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
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
