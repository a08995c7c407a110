#pragma once

#include <memory>
#include <optional>
#include <string>

#include <cairo.h>

#include "source/editor/Geometry.h"
#include "source/editor/UIDescription.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A PNG bitmap of the editor, drawn whole, nine-part tiled, or one frame of a film strip. When a
// double-density version lies beside it ("<name>@2x.png"), that one is drawn wherever one view pixel
// covers more than one device pixel.
class Bitmap
{
public:
    // Nothing when the file is missing or not a PNG.
    static std::unique_ptr<Bitmap> loadPng(const std::string& path, std::optional<NinePartOffsets> ninePart);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // In view pixels.
    int width() const;
    int height() const;
    bool hasDoubleDensity() const { return doubleDensity != nullptr; }

    // Nine-part bitmaps keep their corners, tile their edges and centre to fill the rectangle; others
    // are drawn at the rectangle's origin in their own size, clipped to it.
    void draw(cairo_t* cr, const Rect& where, double alpha = 1.0) const;
    // Frame `index` of a vertical strip of frames `frameHeight` high, at the rectangle's origin.
    void drawFrame(cairo_t* cr, const Rect& where, int index, double frameHeight) const;

private:
    struct Image
    {
        cairo_surface_t* surface;
        double density; // device pixels per view pixel
    };

    Bitmap(cairo_surface_t* surface, cairo_surface_t* doubleDensity, std::optional<NinePartOffsets> ninePart);
    // The image for the device scale of `cr`, with `cr` scaled so that one unit is one of its pixels.
    Image select(cairo_t* cr) const;
    static void drawPart(cairo_t* cr, cairo_surface_t* image, const Rect& source, const Rect& target);

    cairo_surface_t* surface;
    cairo_surface_t* doubleDensity;
    std::optional<NinePartOffsets> ninePart;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
