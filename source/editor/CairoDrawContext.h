#pragma once

#include <cairo.h>

#include "source/editor/DrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Drawing with cairo, on whatever surface the cairo context targets (the X11 window, an image).
class CairoDrawContext : public DrawContext
{
public:
    // `cr` stays the caller's.
    explicit CairoDrawContext(cairo_t* cr) : cr(cr) {}

    void save() override;
    void restore() override;
    void translate(double dx, double dy) override;
    void scale(double factor) override;
    void clip(const Rect& r) override;
    double deviceScale() const override;

    void fillRect(const Rect& r, const Colour& c) override;
    void strokeRect(const Rect& r, const Colour& c, double lineWidth) override;
    void fillPolygon(std::span<const Point> corners, const Colour& c) override;
    void strokePolyline(std::span<const Point> points, const Colour& c, double lineWidth) override;
    void fillCircle(Point centre, double radius, const Colour& c) override;

    void drawImage(const BitmapImage& image, double density, const Rect& source, const Rect& target,
                   double alpha) override;

    TextMetrics measureText(const std::string& utf8, const Font& font) override;
    void showText(const std::string& utf8, Point origin, const Font& font, const Colour& c) override;

private:
    void setColour(const Colour& c);
    void setFont(const Font& font);
    void path(std::span<const Point> points);

    cairo_t* cr;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
