#pragma once

#include <cairo.h>

#include "source/editor/BitmapImage.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A decoded PNG as a cairo image surface.
class CairoBitmap : public BitmapImage
{
public:
    // Takes the surface over.
    explicit CairoBitmap(cairo_surface_t* surface) : surface(surface) {}
    ~CairoBitmap() override { cairo_surface_destroy(surface); }
    CairoBitmap(const CairoBitmap&) = delete;
    CairoBitmap& operator=(const CairoBitmap&) = delete;

    int width() const override { return cairo_image_surface_get_width(surface); }
    int height() const override { return cairo_image_surface_get_height(surface); }
    cairo_surface_t* cairoSurface() const { return surface; }

private:
    cairo_surface_t* surface;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
