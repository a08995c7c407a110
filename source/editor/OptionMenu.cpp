#include "source/editor/OptionMenu.h"

#include <algorithm>
#include <cmath>

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

ParamValue entryValue(int index, int32 steps) { return steps > 0 ? static_cast<double>(index) / steps : 0.0; }

} // namespace

std::vector<std::string> OptionMenu::entries() const
{
    ParameterAccess& parameters = context.parameters();
    if (!parameters.exists(controlTag))
        return {};
    const int32 steps = parameters.stepCount(controlTag);
    std::vector<std::string> list;
    for (int i = 0; i <= steps; ++i)
        list.push_back(parameters.text(controlTag, entryValue(i, steps)));
    return list;
}

std::string OptionMenu::currentText() const { return context.parameters().text(controlTag, current); }

void OptionMenu::draw(DrawContext& context)
{
    style.drawBox(context, bounds());
    // A small down arrow on the right says "this opens a list".
    const double arrow = std::min(frame.height * 0.35, 6.0);
    const double ax = frame.width - arrow - 4, ay = (frame.height - arrow * 0.6) / 2;
    const Point corners[] = {{ax, ay}, {ax + arrow, ay}, {ax + arrow / 2, ay + arrow * 0.6}};
    context.fillPolygon(corners, style.fontColour);
    drawText(context, currentText(), {0, 0, frame.width - arrow - 6, frame.height}, style.font, style.fontColour,
             style.alignment, 4);
}

void OptionMenu::onMouseDown(const MouseEvent& event)
{
    if (asksForDefault(event))
    {
        resetToDefault();
        return;
    }
    auto list = entries();
    if (list.empty())
        return;
    const int32 steps = context.parameters().stepCount(controlTag);
    const int selected = static_cast<int>(context.parameters().toPlain(controlTag, current) + 0.5);
    const Point origin = windowOrigin();
    const ParamID id = controlTag;
    EditorContext& ctx = context;
    context.openPopup({origin.x, origin.y, frame.width, frame.height}, std::move(list), selected,
                      [&ctx, id, steps](int index) { ctx.parameters().edit(id, entryValue(index, steps)); });
}

bool OptionMenu::onWheel(double notches, const Modifiers&)
{
    const int32 steps = context.parameters().stepCount(controlTag);
    if (steps <= 0)
        return true;
    // Touchpads and smooth wheels send parts of a notch: they add up until a whole notch is turned
    // (the tolerance lets 1/3 + 1/3 + 1/3 count as one).
    constexpr double kTolerance = 1e-9;
    unspentNotches += notches;
    const double whole = std::trunc(unspentNotches + std::copysign(kTolerance, unspentNotches));
    unspentNotches -= whole;
    if (whole == 0)
        return true;
    const long index = std::lround(current * steps - whole);
    burstTo(entryValue(static_cast<int>(std::clamp<long>(index, 0, steps)), steps));
    return true;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
