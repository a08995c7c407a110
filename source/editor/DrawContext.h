#pragma once

#include <span>
#include <string>

#include "source/editor/Colour.h"
#include "source/editor/Geometry.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class BitmapImage;

// The editor's fonts: the size in view pixels and the weight. Each platform picks the face.
struct Font
{
    double size = 12;
    bool bold = false;
};

struct TextMetrics
{
    double width = 0;   // the advance of the whole text
    double ascent = 0;  // of the font, above the baseline
    double descent = 0; // of the font, below the baseline
};

// What the views draw with, one implementation per platform. Coordinates are in view pixels of the
// current transform; lines and outlines are centred on their path, as in any 2D vector library.
class DrawContext
{
public:
    virtual ~DrawContext() = default;

    // The transform and the clip; every save is matched by a restore.
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void translate(double dx, double dy) = 0;
    virtual void scale(double factor) = 0;
    // Narrows the clip to the rectangle.
    virtual void clip(const Rect& r) = 0;
    // Device pixels per view pixel under the current transform.
    virtual double deviceScale() const = 0;

    virtual void fillRect(const Rect& r, const Colour& c) = 0;
    virtual void strokeRect(const Rect& r, const Colour& c, double lineWidth) = 0;
    virtual void fillPolygon(std::span<const Point> corners, const Colour& c) = 0;
    // Joined line segments through the points.
    virtual void strokePolyline(std::span<const Point> points, const Colour& c, double lineWidth) = 0;
    virtual void fillCircle(Point centre, double radius, const Colour& c) = 0;

    // The `source` part of the image (in its own pixels divided by `density`) into `target`,
    // repeated across it when the target is larger, and clipped to it.
    virtual void drawImage(const BitmapImage& image, double density, const Rect& source, const Rect& target,
                           double alpha) = 0;

    virtual TextMetrics measureText(const std::string& utf8, const Font& font) = 0;
    // One line of text with its baseline starting at `origin`.
    virtual void showText(const std::string& utf8, Point origin, const Font& font, const Colour& c) = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
