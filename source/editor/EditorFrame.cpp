#include "source/editor/EditorFrame.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "source/editor/Bitmap.h"
#include "source/editor/Control.h"
#include "source/editor/Font.h"
#include "source/editor/ViewBuilder.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

constexpr double kTooltipDelayMilliseconds = 800;
// A press that opened a list becomes a drag to an entry once it has moved this far.
constexpr double kPopupDragDistance = 3;

double steadyMilliseconds()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool contains(View& subtree, const View* view)
{
    bool found = false;
    subtree.forEach([&](View& v) { found |= &v == view; });
    return found;
}

MouseEvent relativeTo(const View& view, MouseEvent event)
{
    const Point origin = view.windowOrigin();
    event.position = {event.position.x - origin.x, event.position.y - origin.y};
    return event;
}

} // namespace

std::unique_ptr<EditorFrame> EditorFrame::create(EditorResources& resources, EditController& controller,
                                                 const std::string& templateName, Clock clock)
{
    std::unique_ptr<EditorFrame> frame(new EditorFrame(resources, controller, std::move(clock)));
    frame->rootView = frame->buildTemplate(templateName);
    if (!frame->rootView)
        return nullptr;
    frame->area = frame->rootView->bounds();
    return frame;
}

EditorFrame::EditorFrame(EditorResources& r, EditController& controller, Clock c)
    : resources(r), access(controller), clock(c ? std::move(c) : Clock(steadyMilliseconds))
{
}

EditorFrame::~EditorFrame() { endCapture(); }

void EditorFrame::endCapture(const MouseEvent& release)
{
    if (View* view = std::exchange(captured, nullptr))
    {
        view->onMouseUp(relativeTo(*view, release));
        hoverAfresh();
    }
}

// Moves went to the captured view or the open list, not to the hover: the view now under the pointer
// is hovered from now on, so that a tooltip needs a fresh rest on it.
void EditorFrame::hoverAfresh()
{
    hideTooltip();
    hovered = pointerInside ? rootView->viewAt(lastMouse) : nullptr;
}

std::unique_ptr<View> EditorFrame::buildTemplate(const std::string& name)
{
    // A template that shows itself, directly or through others, would be built for ever; such a
    // view switch container stays empty. So does one nested deeper than any sensible editor.
    constexpr size_t kMaxTemplateNesting = 8;
    const ViewNode* node = resources.description().findTemplate(name);
    if (!node || templatesInBuild.size() >= kMaxTemplateNesting ||
        std::find(templatesInBuild.begin(), templatesInBuild.end(), name) != templatesInBuild.end())
        return nullptr;
    templatesInBuild.push_back(name);
    auto view = buildView(*node, *this, resources);
    templatesInBuild.pop_back();
    return view;
}

void EditorFrame::draw(DrawContext& context)
{
    context.save();
    rootView->draw(context);
    if (const double opacity = splashOpacity(); opacity > 0)
        splash->bitmap->draw(context, splash->where, opacity);
    if (popup)
        popup->draw(context);
    drawTooltip(context);
    context.restore();
}

void EditorFrame::drawTooltip(DrawContext& context)
{
    if (!tooltipShown || !hovered || popup || splash)
        return;
    const Font font{11, false};
    const double w = context.measureText(hovered->tooltip, font).width + 10, h = 18;
    const double x = std::clamp(tooltipAt.x + 12, 0.0, std::max(0.0, area.width - w));
    double y = tooltipAt.y + 18;
    if (y + h > area.height)
        y = tooltipAt.y - h - 4;
    const Rect box{x, y, w, h};
    context.fillRect(box, {1, 1, 0.88, 1});
    context.strokeRect(box.insetBy(0.5), {0.3, 0.3, 0.3, 1}, 1);
    drawText(context, hovered->tooltip, box, font, {0, 0, 0, 1}, TextAlignment::left, 5);
}

void EditorFrame::hideTooltip()
{
    if (tooltipShown)
        dirty = true;
    tooltipShown = false;
    hoveredSince = clock();
}

void EditorFrame::mouseDown(const MouseEvent& event)
{
    endCapture(); // a release the window never saw
    const Point p = event.position;
    lastMouse = p;
    pointerInside = true;
    hideTooltip();
    burst.finish();
    if (popup)
    {
        const int row = popup->rowAt(p);
        View* owner = popupOwner;
        choosePopupRow(row);
        // Outside the list a press only closes it, but for the second press of a double-click on
        // the menu that opened it: that one goes on to the menu, which takes its default.
        if (row >= 0 || event.clickCount != 2 || !owner || rootView->viewAt(p) != owner)
            return;
    }
    if (splash)
    {
        if (!splash->closingAt)
            splash->closingAt = clock();
        dirty = true;
        return;
    }
    View* hit = rootView->viewAt(p);
    if (focused && focused != hit)
        setFocus(nullptr);
    if (!hit)
        return;
    if (event.button == MouseButton::right)
    {
        openHostContextMenu(*hit, p);
        return;
    }
    if (event.button != MouseButton::left)
        return;
    captured = hit;
    pressed = hit;
    hit->onMouseDown(relativeTo(*hit, event));
    pressed = nullptr;
}

void EditorFrame::openHostContextMenu(View& view, Point p)
{
    const auto* control = dynamic_cast<const Control*>(&view);
    if (!control)
        return;
    access.popupHostContextMenu(hostView, control->tag(), static_cast<UCoord>(std::lround(p.x * hostScale)),
                                static_cast<UCoord>(std::lround(p.y * hostScale)));
    // The host's menu may have changed the parameter (its reset entry, say).
    if (rootView->syncWithParameters())
        dirty = true;
}

void EditorFrame::mouseMoved(const MouseEvent& event)
{
    const Point p = event.position;
    lastMouse = p;
    pointerInside = true;
    if (popup)
    {
        popup->hover(p);
        if (popupHeld && std::hypot(p.x - popupPressPoint.x, p.y - popupPressPoint.y) > kPopupDragDistance)
            popupDragged = true;
        dirty = true;
        return;
    }
    if (captured)
    {
        captured->onMouseMoved(relativeTo(*captured, event));
        return;
    }
    View* under = rootView->viewAt(p);
    if (under != hovered)
    {
        hideTooltip();
        hovered = under;
    }
    hoveredSince = clock();
}

void EditorFrame::mouseUp(const MouseEvent& event)
{
    lastMouse = event.position;
    if (popup && popupHeld)
    {
        // Press, drag to an entry, release: that entry. A release without a drag leaves the list
        // open for a second click.
        popupHeld = false;
        const int row = popup->rowAt(event.position);
        if (popupDragged && row >= 0)
            choosePopupRow(row);
        return;
    }
    endCapture(event);
}

void EditorFrame::mouseLeft()
{
    pointerInside = false;
    hideTooltip();
    hovered = nullptr;
}

void EditorFrame::mouseCaptureLost()
{
    popupHeld = false;
    endCapture();
}

void EditorFrame::keyboardLost()
{
    if (popup)
        choosePopupRow(-1);
    setFocus(nullptr);
}

bool EditorFrame::wheel(Point p, double notches, const Modifiers& modifiers)
{
    lastMouse = p;
    pointerInside = true;
    hideTooltip();
    if (popup || splash)
        return false;
    View* under = rootView->viewAt(p);
    return under && under->onWheel(notches, modifiers);
}

bool EditorFrame::keyDown(const KeyEvent& event)
{
    if (popup)
        return popupKey(event);
    if (splash)
    {
        if (event.key != Key::escape)
            return false;
        if (!splash->closingAt)
            splash->closingAt = clock();
        dirty = true;
        return true;
    }
    if (focused)
    {
        if (event.key != Key::tab)
            return focused->onKeyDown(event);
        moveFocusByTab(event.modifiers.shift ? -1 : 1);
        return true;
    }
    // No view takes typed keys: the one under the pointer may use them (arrow keys nudge a knob).
    View* under = pointerInside && !captured ? rootView->viewAt(lastMouse) : nullptr;
    return under && under->onKeyDown(event);
}

// An open list takes every key: arrows, Home and End move the light, Enter chooses, Escape closes.
bool EditorFrame::popupKey(const KeyEvent& event)
{
    switch (event.key)
    {
    case Key::up:
        popup->moveLight(-1);
        break;
    case Key::down:
        popup->moveLight(1);
        break;
    case Key::home:
        popup->lightRow(0);
        break;
    case Key::end:
        popup->lightRow(static_cast<int>(popup->entries().size()) - 1);
        break;
    case Key::enter:
        choosePopupRow(popup->litRow());
        break;
    case Key::escape:
        choosePopupRow(-1);
        break;
    default:
        break;
    }
    dirty = true;
    return true;
}

void EditorFrame::choosePopupRow(int row)
{
    // Closed before choosing: the choice may rebuild the panel that opened the list.
    const PopupList list = std::move(*popup);
    popup.reset();
    popupOwner = nullptr;
    popupHeld = false;
    dirty = true;
    if (row >= 0)
    {
        list.choose(row);
        rootView->syncWithParameters();
    }
    hoverAfresh();
}

void EditorFrame::moveFocusByTab(int direction)
{
    std::vector<View*> order;
    rootView->forEach([&](View& v) {
        if (v.takesTabFocus())
            order.push_back(&v);
    });
    const auto at = std::find(order.begin(), order.end(), focused);
    setFocus(nullptr); // applies the text typed so far
    if (at == order.end())
        return;
    const auto count = static_cast<long>(order.size());
    order[((at - order.begin()) + direction + count) % count]->onTabFocus();
}

void EditorFrame::idle()
{
    burst.idle(clock());
    if (rootView->syncWithParameters())
        dirty = true;
    if (splash)
    {
        dirty = true; // every step of the fade is drawn
        if (splash->closingAt && clock() - *splash->closingAt >= splash->duration)
            splash.reset();
    }
    if (!tooltipShown && hovered && !hovered->tooltip.empty() && !captured &&
        clock() - hoveredSince >= kTooltipDelayMilliseconds)
    {
        tooltipShown = true;
        tooltipAt = lastMouse; // it stays there while the pointer moves on over its control
        dirty = true;
    }
}

double EditorFrame::splashOpacity() const
{
    if (!splash)
        return 0;
    const double now = clock();
    const double duration = std::max(1.0, splash->duration);
    if (splash->closingAt)
        return std::clamp(1.0 - (now - *splash->closingAt) / duration, 0.0, 1.0);
    return std::clamp((now - splash->openedAt) / duration, 0.0, 1.0);
}

void EditorFrame::setFocus(View* view)
{
    if (view == focused)
        return;
    View* previous = focused;
    focused = view;
    if (previous)
        previous->onFocusLost();
    dirty = true;
}

void EditorFrame::setHostView(IPlugView* view, double scale)
{
    hostView = view;
    hostScale = scale;
}

void EditorFrame::openPopup(const Rect& anchor, std::vector<std::string> entries, int selected,
                            std::function<void(int)> chosen)
{
    popup.emplace(anchor, area, std::move(entries), selected, std::move(chosen));
    popupOwner = pressed;
    popupHeld = pressed != nullptr;
    popupDragged = false;
    popupPressPoint = lastMouse;
    captured = nullptr;
    dirty = true;
}

void EditorFrame::openSplash(const Bitmap& bitmap, const Rect& where, double milliseconds)
{
    splash = Splash{&bitmap, where, milliseconds, clock(), std::nullopt};
    captured = nullptr;
    hovered = nullptr;
    dirty = true;
}

void EditorFrame::willRemove(View& subtree)
{
    if (captured && contains(subtree, captured))
        endCapture();
    if (popupOwner && contains(subtree, popupOwner))
        popupOwner = nullptr;
    if (focused && contains(subtree, focused))
        setFocus(nullptr);
    if (hovered && contains(subtree, hovered))
        hovered = nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
