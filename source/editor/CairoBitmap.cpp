#include "source/editor/CairoBitmap.h"

#include <cstring>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

// The surface of a decoded PNG, or nothing when decoding failed.
std::unique_ptr<BitmapImage> adopt(cairo_surface_t* surface)
{
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
        return std::make_unique<CairoBitmap>(surface);
    cairo_surface_destroy(surface);
    return nullptr;
}

} // namespace

std::unique_ptr<BitmapImage> decodePng(const std::string& path)
{
    return adopt(cairo_image_surface_create_from_png(path.c_str()));
}

std::unique_ptr<BitmapImage> decodePng(std::span<const uint8_t> bytes)
{
    // cairo pulls the bytes in pieces; the span shrinks as they are handed out.
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto& rest = *static_cast<std::span<const uint8_t>*>(closure);
        if (length > rest.size())
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, rest.data(), length);
        rest = rest.subspan(length);
        return CAIRO_STATUS_SUCCESS;
    };
    return adopt(cairo_image_surface_create_from_png_stream(read, &bytes));
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
