#pragma once

#include <memory>
#include <optional>
#include <string>

#include "source/editor/BitmapImage.h"
#include "source/editor/DrawContext.h"
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

    // In view pixels.
    int width() const { return image->width(); }
    int height() const { return image->height(); }
    bool hasDoubleDensity() const { return doubleDensity != nullptr; }

    // Nine-part bitmaps keep their corners, tile their edges and centre to fill the rectangle; others
    // are drawn at the rectangle's origin in their own size, clipped to it.
    void draw(DrawContext& context, const Rect& where, double alpha = 1.0) const;
    // Frame `index` of a vertical strip of frames `frameHeight` high, at the rectangle's origin.
    void drawFrame(DrawContext& context, const Rect& where, int index, double frameHeight) const;

private:
    struct Choice
    {
        const BitmapImage& image;
        double density; // image pixels per view pixel
    };

    Bitmap(std::unique_ptr<BitmapImage> image, std::unique_ptr<BitmapImage> doubleDensity,
           std::optional<NinePartOffsets> ninePart);
    // The image for the context's device scale.
    Choice select(const DrawContext& context) const;

    std::unique_ptr<BitmapImage> image;
    std::unique_ptr<BitmapImage> doubleDensity;
    std::optional<NinePartOffsets> ninePart;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
