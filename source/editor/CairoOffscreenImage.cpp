#include <cairo.h>

#include <cstring>

#include "source/editor/CairoDrawContext.h"
#include "source/editor/OffscreenImage.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

OffscreenImage drawOffscreen(int width, int height, const std::function<void(DrawContext&)>& paint)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    CairoDrawContext context(cr);
    paint(context);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    OffscreenImage image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; data && y < height; ++y)
        std::memcpy(&image.pixels[static_cast<size_t>(y) * width], data + y * stride,
                    width * sizeof(uint32_t));
    cairo_surface_destroy(surface);
    return image;
}

bool writePng(const OffscreenImage& image, const std::string& path)
{
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, image.width);
    if (stride != image.width * static_cast<int>(sizeof(uint32_t)))
        return false;
    // cairo only reads the pixels while writing.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image.pixels.data()));
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, image.width, image.height, stride);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
