#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "source/editor/DrawContext.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A picture drawn off screen by the editor's drawing code: pixels as premultiplied 0xAARRGGBB, row by
// row. The tests and the renders of the editor use it; the window draws straight to the screen.
struct OffscreenImage
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Starts transparent black.
OffscreenImage drawOffscreen(int width, int height, const std::function<void(DrawContext&)>& paint);
bool writePng(const OffscreenImage& image, const std::string& path);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
