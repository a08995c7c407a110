#include "source/editor/PopupList.h"

#include <algorithm>

#include "source/editor/Font.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {
const Font kEntryFont{11, false};
const Colour kShadow{0, 0, 0, 0.35};
const Colour kBack{0.08, 0.08, 0.09, 1};
const Colour kFrame{0.67, 0.67, 0.67, 1};
const Colour kText{1, 1, 1, 1};
const Colour kHover{0.29, 0.64, 1.0, 0.45};
constexpr double kMinimumWidth = 120;
} // namespace

PopupList::PopupList(const Rect& anchor, const Rect& window, std::vector<std::string> entries, int selected,
                     std::function<void(int)> chosen)
    : items(std::move(entries)), selected(selected), lit(selected), chosen(std::move(chosen))
{
    const double width = std::min(window.width, std::max(anchor.width, kMinimumWidth));
    const double height = std::min(window.height, kRowHeight * items.size() + 2);
    double x = std::min(anchor.x, window.right() - width);
    double y = anchor.bottom();
    if (y + height > window.bottom())
        y = window.bottom() - height;
    area = {std::max(window.x, x), std::max(window.y, y), width, height};
}

int PopupList::rowAt(Point p) const
{
    if (!area.contains(p))
        return -1;
    const int row = static_cast<int>((p.y - area.y - 1) / kRowHeight);
    return row >= 0 && row < static_cast<int>(items.size()) ? row : -1;
}

void PopupList::moveLight(int delta) { lightRow((lit >= 0 ? lit : selected) + delta); }

void PopupList::lightRow(int row)
{
    if (!items.empty())
        lit = std::clamp(row, 0, static_cast<int>(items.size()) - 1);
}

void PopupList::choose(int row) const
{
    if (row >= 0 && row < static_cast<int>(items.size()) && chosen)
        chosen(row);
}

void PopupList::draw(DrawContext& context) const
{
    // A soft shadow lifts the list off the panel.
    context.fillRect(area.movedBy(3, 3), kShadow);
    context.fillRect(area, kBack);
    for (int row = 0; row < static_cast<int>(items.size()); ++row)
    {
        const Rect line{area.x + 1, area.y + 1 + row * kRowHeight, area.width - 2, kRowHeight};
        if (row == lit)
            context.fillRect(line, kHover);
        if (row == selected)
            context.fillCircle({line.x + 8, line.y + kRowHeight / 2}, 2.5, kText);
        drawText(context, items[row], {line.x + 16, line.y, line.width - 18, line.height}, kEntryFont, kText,
                 TextAlignment::left, 0);
    }
    context.strokeRect(area.insetBy(0.5), kFrame, 1);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
