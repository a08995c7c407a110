#include "source/editor/Bitmap.h"

#include <algorithm>
#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

cairo_surface_t* readPng(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
        return surface;
    cairo_surface_destroy(surface);
    return nullptr;
}

std::string doubleDensityPath(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "@2x";
    return path.substr(0, dot) + "@2x" + path.substr(dot);
}

Rect scaled(const Rect& r, double f) { return {r.x * f, r.y * f, r.width * f, r.height * f}; }

// Offsets that fit the image: each edge within it, and the two opposite edges together no larger
// than it, so that every source part lies inside the pixels.
NinePartOffsets fitted(NinePartOffsets o, double width, double height)
{
    const auto within = [](double v, double limit) { return v > 0 ? std::min(v, limit) : 0.0; };
    o.left = within(o.left, width);
    o.right = within(o.right, width - o.left);
    o.top = within(o.top, height);
    o.bottom = within(o.bottom, height - o.top);
    return o;
}

} // namespace

std::unique_ptr<Bitmap> Bitmap::loadPng(const std::string& path, std::optional<NinePartOffsets> ninePart)
{
    cairo_surface_t* surface = readPng(path);
    if (!surface)
        return nullptr;
    cairo_surface_t* twice = readPng(doubleDensityPath(path));
    // A double-density file that is not exactly twice the size is not used.
    if (twice && (cairo_image_surface_get_width(twice) != 2 * cairo_image_surface_get_width(surface) ||
                  cairo_image_surface_get_height(twice) != 2 * cairo_image_surface_get_height(surface)))
    {
        cairo_surface_destroy(twice);
        twice = nullptr;
    }
    if (ninePart)
        ninePart = fitted(*ninePart, cairo_image_surface_get_width(surface),
                          cairo_image_surface_get_height(surface));
    return std::unique_ptr<Bitmap>(new Bitmap(surface, twice, ninePart));
}

Bitmap::Bitmap(cairo_surface_t* s, cairo_surface_t* d, std::optional<NinePartOffsets> n)
    : surface(s), doubleDensity(d), ninePart(n)
{
}

Bitmap::~Bitmap()
{
    cairo_surface_destroy(surface);
    if (doubleDensity)
        cairo_surface_destroy(doubleDensity);
}

int Bitmap::width() const { return cairo_image_surface_get_width(surface); }

int Bitmap::height() const { return cairo_image_surface_get_height(surface); }

Bitmap::Image Bitmap::select(cairo_t* cr) const
{
    double dx = 1, dy = 0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    if (!doubleDensity || std::hypot(dx, dy) <= 1.01)
        return {surface, 1};
    cairo_scale(cr, 0.5, 0.5);
    return {doubleDensity, 2};
}

// Repeats the source part across the target part.
void Bitmap::drawPart(cairo_t* cr, cairo_surface_t* image, const Rect& source, const Rect& target)
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return;
    cairo_save(cr);
    cairo_rectangle(cr, target.x, target.y, target.width, target.height);
    cairo_clip(cr);
    cairo_surface_t* part = cairo_surface_create_for_rectangle(image, source.x, source.y, source.width,
                                                               source.height);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(part);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -target.x, -target.y);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(part);
    cairo_restore(cr);
}

void Bitmap::draw(cairo_t* cr, const Rect& where, double alpha) const
{
    if (alpha < 1.0)
    {
        cairo_push_group(cr);
        draw(cr, where);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
        return;
    }
    cairo_save(cr);
    const Image image = select(cr);
    const double f = image.density;
    const Rect target = scaled(where, f);
    const double w = width() * f, h = height() * f;
    if (!ninePart)
    {
        drawPart(cr, image.surface, {0, 0, w, h},
                 {target.x, target.y, std::min(w, target.width), std::min(h, target.height)});
        cairo_restore(cr);
        return;
    }
    const NinePartOffsets& o = *ninePart;
    const double sourceX[] = {0, o.left * f, w - o.right * f, w};
    const double sourceY[] = {0, o.top * f, h - o.bottom * f, h};
    const double targetX[] = {target.x, target.x + o.left * f, target.right() - o.right * f, target.right()};
    const double targetY[] = {target.y, target.y + o.top * f, target.bottom() - o.bottom * f, target.bottom()};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            drawPart(cr, image.surface,
                     {sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                      sourceY[row + 1] - sourceY[row]},
                     {targetX[column], targetY[row], targetX[column + 1] - targetX[column],
                      targetY[row + 1] - targetY[row]});
    cairo_restore(cr);
}

void Bitmap::drawFrame(cairo_t* cr, const Rect& where, int index, double frameHeight) const
{
    const int frames = std::max(1, static_cast<int>(height() / frameHeight));
    index = std::clamp(index, 0, frames - 1);
    cairo_save(cr);
    const Image image = select(cr);
    const double f = image.density;
    const Rect target = scaled(where, f);
    cairo_rectangle(cr, target.x, target.y, std::min<double>(target.width, width() * f),
                    std::min(target.height, frameHeight * f));
    cairo_clip(cr);
    cairo_set_source_surface(cr, image.surface, target.x, target.y - index * frameHeight * f);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
