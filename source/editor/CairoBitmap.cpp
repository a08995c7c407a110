#include "source/editor/CairoBitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

std::unique_ptr<BitmapImage> decodePng(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
        return std::make_unique<CairoBitmap>(surface);
    cairo_surface_destroy(surface);
    return nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
