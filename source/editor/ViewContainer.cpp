#include "source/editor/ViewContainer.h"

#include "source/editor/Bitmap.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void ViewContainer::addChild(std::unique_ptr<View> child)
{
    child->parentView = this;
    children.push_back(std::move(child));
}

void ViewContainer::draw(DrawContext& context)
{
    if (background)
        context.fillRect(bounds(), *background);
    if (bitmap)
        bitmap->draw(context, bounds());
    for (auto& child : children)
        drawChild(context, *child);
}

View* ViewContainer::viewAt(Point p)
{
    if (!bounds().contains(p))
        return nullptr;
    // Topmost first: later children are drawn over earlier ones.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (View* hit = (*it)->viewAt({p.x - (*it)->frame.x, p.y - (*it)->frame.y}))
            return hit;
    return nullptr;
}

bool ViewContainer::syncWithParameters()
{
    bool changed = false;
    for (auto& child : children)
        changed |= child->syncWithParameters();
    return changed;
}

void ViewContainer::forEach(const std::function<void(View&)>& visit)
{
    visit(*this);
    for (auto& child : children)
        child->forEach(visit);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
