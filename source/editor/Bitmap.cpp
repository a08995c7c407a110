#include "source/editor/Bitmap.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

std::unique_ptr<Bitmap> Bitmap::loadPng(const std::string& path, std::optional<NinePartOffsets> ninePart)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::unique_ptr<Bitmap>(new Bitmap(surface, ninePart));
}

Bitmap::Bitmap(cairo_surface_t* s, std::optional<NinePartOffsets> n) : surface(s), ninePart(n) {}

Bitmap::~Bitmap() { cairo_surface_destroy(surface); }

int Bitmap::width() const { return cairo_image_surface_get_width(surface); }

int Bitmap::height() const { return cairo_image_surface_get_height(surface); }

// Repeats the source part across the target part.
void Bitmap::drawPart(cairo_t* cr, const Rect& source, const Rect& target) const
{
    if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0)
        return;
    cairo_save(cr);
    cairo_rectangle(cr, target.x, target.y, target.width, target.height);
    cairo_clip(cr);
    cairo_surface_t* part = cairo_surface_create_for_rectangle(surface, source.x, source.y, source.width,
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
    const double w = width(), h = height();
    if (!ninePart)
    {
        drawPart(cr, {0, 0, w, h}, {where.x, where.y, std::min(w, where.width), std::min(h, where.height)});
        return;
    }
    const NinePartOffsets& o = *ninePart;
    const double sourceX[] = {0, o.left, w - o.right, w};
    const double sourceY[] = {0, o.top, h - o.bottom, h};
    const double targetX[] = {where.x, where.x + o.left, where.right() - o.right, where.right()};
    const double targetY[] = {where.y, where.y + o.top, where.bottom() - o.bottom, where.bottom()};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            drawPart(cr,
                     {sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                      sourceY[row + 1] - sourceY[row]},
                     {targetX[column], targetY[row], targetX[column + 1] - targetX[column],
                      targetY[row + 1] - targetY[row]});
}

void Bitmap::drawFrame(cairo_t* cr, const Rect& where, int index, double frameHeight) const
{
    const int frames = std::max(1, static_cast<int>(height() / frameHeight));
    index = std::clamp(index, 0, frames - 1);
    cairo_save(cr);
    cairo_rectangle(cr, where.x, where.y, std::min<double>(where.width, width()),
                    std::min(where.height, frameHeight));
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, where.x, where.y - index * frameHeight);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
