#pragma once

#include <memory>
#include <string>

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// Decoded pixels in the form the platform draws fastest; only its drawing context looks inside.
class BitmapImage
{
public:
    virtual ~BitmapImage() = default;
    // In pixels of the image.
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// Nothing when the file is missing or not a PNG.
std::unique_ptr<BitmapImage> decodePng(const std::string& path);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
