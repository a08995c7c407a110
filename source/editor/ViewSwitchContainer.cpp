#include "source/editor/ViewSwitchContainer.h"

#include <algorithm>

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

ViewSwitchContainer::ViewSwitchContainer(const Rect& frame, EditorContext& context, ParamID switchTag,
                                         std::vector<std::string> templateNames)
    : View(frame), context(context), switchTag(switchTag), templateNames(std::move(templateNames))
{
    show(wantedIndex());
}

int ViewSwitchContainer::wantedIndex() const
{
    if (templateNames.empty())
        return -1;
    const ParameterAccess& parameters = context.parameters();
    const double plain = parameters.toPlain(switchTag, parameters.value(switchTag));
    return std::clamp(static_cast<int>(plain + 0.5), 0, static_cast<int>(templateNames.size()) - 1);
}

void ViewSwitchContainer::show(int index)
{
    if (index == shown)
        return;
    if (current)
        context.willRemove(*current);
    current.reset();
    shown = index;
    if (index >= 0)
        current = context.buildTemplate(templateNames[index]);
    if (current)
        current->parentView = this;
}

void ViewSwitchContainer::draw(DrawContext& context)
{
    if (current)
        drawChild(context, *current);
}

View* ViewSwitchContainer::viewAt(Point p)
{
    if (!current || !bounds().contains(p))
        return nullptr;
    return current->viewAt({p.x - current->frame.x, p.y - current->frame.y});
}

bool ViewSwitchContainer::syncWithParameters()
{
    const int wanted = wantedIndex();
    if (wanted != shown)
    {
        show(wanted);
        return true;
    }
    return current && current->syncWithParameters();
}

void ViewSwitchContainer::forEach(const std::function<void(View&)>& visit)
{
    visit(*this);
    if (current)
        current->forEach(visit);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
