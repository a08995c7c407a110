#pragma once

#include <optional>

#include "source/editor/Colour.h"
#include "source/editor/View.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A view holding other views over an optional background colour and nine-part bitmap.
class ViewContainer : public View
{
public:
    ViewContainer(const Rect& frame, std::optional<Colour> background, const Bitmap* bitmap)
        : View(frame), background(background), bitmap(bitmap)
    {
    }

    void addChild(std::unique_ptr<View> child);
    void removeAllChildren() { children.clear(); }
    const std::vector<std::unique_ptr<View>>& childViews() const { return children; }

    void draw(DrawContext& context) override;
    View* viewAt(Point p) override;
    bool syncWithParameters() override;
    void forEach(const std::function<void(View&)>& visit) override;

private:
    std::optional<Colour> background;
    const Bitmap* bitmap;
    std::vector<std::unique_ptr<View>> children;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
