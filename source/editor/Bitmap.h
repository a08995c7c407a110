#pragma once

#include <memory>
#include <optional>
#include <string>

#include <cairo.h>

#include "source/editor/Geometry.h"
#include "source/editor/UIDescription.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A PNG bitmap of the editor, drawn whole, nine-part tiled, or one frame of a film strip.
class Bitmap
{
public:
    // Nothing when the file is missing or not a PNG.
    static std::unique_ptr<Bitmap> loadPng(const std::string& path, std::optional<NinePartOffsets> ninePart);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int width() const;
    int height() const;

    // Nine-part bitmaps keep their corners, tile their edges and centre to fill the rectangle; others
    // are drawn at the rectangle's origin in their own size, clipped to it.
    void draw(cairo_t* cr, const Rect& where, double alpha = 1.0) const;
    // Frame `index` of a vertical strip of frames `frameHeight` high, at the rectangle's origin.
    void drawFrame(cairo_t* cr, const Rect& where, int index, double frameHeight) const;

private:
    Bitmap(cairo_surface_t* surface, std::optional<NinePartOffsets> ninePart);
    void drawPart(cairo_t* cr, const Rect& source, const Rect& target) const;

    cairo_surface_t* surface;
    std::optional<NinePartOffsets> ninePart;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
