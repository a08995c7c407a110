#include "source/editor/CairoDrawContext.h"

#include <cmath>

#include "source/editor/CairoBitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {
// Condensed, so the short labels of the channel panel fit their boxes.
const char* const kFamily = "DejaVu Sans Condensed";
} // namespace

void CairoDrawContext::save()
{
    cairo_save(cr);
}

void CairoDrawContext::restore()
{
    cairo_restore(cr);
}

void CairoDrawContext::translate(double dx, double dy)
{
    cairo_translate(cr, dx, dy);
}

void CairoDrawContext::scale(double factor)
{
    cairo_scale(cr, factor, factor);
}

void CairoDrawContext::clip(const Rect& r)
{
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_clip(cr);
}

double CairoDrawContext::deviceScale() const
{
    double dx = 1, dy = 0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    return std::hypot(dx, dy);
}

void CairoDrawContext::setColour(const Colour& c)
{
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

void CairoDrawContext::fillRect(const Rect& r, const Colour& c)
{
    setColour(c);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_fill(cr);
}

void CairoDrawContext::strokeRect(const Rect& r, const Colour& c, double lineWidth)
{
    setColour(c);
    cairo_set_line_width(cr, lineWidth);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_stroke(cr);
}

void CairoDrawContext::path(std::span<const Point> points)
{
    cairo_new_path(cr);
    for (const Point& p : points)
        cairo_line_to(cr, p.x, p.y);
}

void CairoDrawContext::fillPolygon(std::span<const Point> corners, const Colour& c)
{
    setColour(c);
    path(corners);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void CairoDrawContext::strokePolyline(std::span<const Point> points, const Colour& c, double lineWidth)
{
    setColour(c);
    cairo_set_line_width(cr, lineWidth);
    path(points);
    cairo_stroke(cr);
}

void CairoDrawContext::fillCircle(Point centre, double radius, const Colour& c)
{
    setColour(c);
    cairo_new_path(cr);
    // A hair over a full turn, as the editor has always drawn its dots (cairo splits the arc a
    // little differently than at exactly 2π, which moves edge pixels by a few levels).
    cairo_arc(cr, centre.x, centre.y, radius, 0, 6.2832);
    cairo_fill(cr);
}

void CairoDrawContext::drawImage(const BitmapImage& image, double density, const Rect& source,
                                 const Rect& target, double alpha)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return;
    cairo_surface_t* surface = static_cast<const CairoBitmap&>(image).cairoSurface();
    cairo_save(cr);
    // From here on one unit is one pixel of the image.
    cairo_scale(cr, 1 / density, 1 / density);
    const Rect s{source.x * density, source.y * density, source.width * density, source.height * density};
    const Rect t{target.x * density, target.y * density, target.width * density, target.height * density};
    cairo_rectangle(cr, t.x, t.y, t.width, t.height);
    cairo_clip(cr);
    if (t.width <= s.width && t.height <= s.height)
    {
        // One copy is enough: the image is placed so that the part lands on the target.
        cairo_set_source_surface(cr, surface, t.x - s.x, t.y - s.y);
        cairo_paint_with_alpha(cr, alpha);
    }
    else
    {
        cairo_surface_t* part = cairo_surface_create_for_rectangle(surface, s.x, s.y, s.width, s.height);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(part);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, -t.x, -t.y);
        cairo_pattern_set_matrix(pattern, &m);
        cairo_set_source(cr, pattern);
        cairo_paint_with_alpha(cr, alpha);
        cairo_pattern_destroy(pattern);
        cairo_surface_destroy(part);
    }
    cairo_restore(cr);
}

void CairoDrawContext::setFont(const Font& font)
{
    cairo_select_font_face(cr, kFamily, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
}

TextMetrics CairoDrawContext::measureText(const std::string& utf8, const Font& font)
{
    setFont(font);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    return {te.x_advance, fe.ascent, fe.descent};
}

void CairoDrawContext::showText(const std::string& utf8, Point origin, const Font& font, const Colour& c)
{
    setFont(font);
    setColour(c);
    cairo_move_to(cr, origin.x, origin.y);
    cairo_show_text(cr, utf8.c_str());
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
