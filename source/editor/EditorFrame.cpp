#include "source/editor/EditorFrame.h"

#include <algorithm>
#include <chrono>

#include "source/editor/Bitmap.h"
#include "source/editor/Font.h"
#include "source/editor/ViewBuilder.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

constexpr double kTooltipDelayMilliseconds = 800;

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

Point relativeTo(const View& view, Point windowPoint)
{
    const Point origin = view.windowOrigin();
    return {windowPoint.x - origin.x, windowPoint.y - origin.y};
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

EditorFrame::~EditorFrame()
{
    // An unfinished gesture is closed so that the host does not wait for its end.
    if (captured)
        captured->onMouseUp(relativeTo(*captured, lastMouse));
}

std::unique_ptr<View> EditorFrame::buildTemplate(const std::string& name)
{
    const ViewNode* node = resources.description().findTemplate(name);
    return node ? buildView(*node, *this, resources) : nullptr;
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
    const double x = std::clamp(lastMouse.x + 12, 0.0, std::max(0.0, area.width - w));
    double y = lastMouse.y + 18;
    if (y + h > area.height)
        y = lastMouse.y - h - 4;
    const Rect box{x, y, w, h};
    context.fillRect(box, {1, 1, 0.88, 1});
    context.strokeRect(box.insetBy(0.5), {0.3, 0.3, 0.3, 1}, 1);
    drawText(context, hovered->tooltip, box, font, {0, 0, 0, 1}, TextAlignment::left, 5);
}

void EditorFrame::mouseDown(Point p)
{
    lastMouse = p;
    if (tooltipShown)
        dirty = true;
    tooltipShown = false;
    hoveredSince = clock();
    if (popup)
    {
        const int row = popup->rowAt(p);
        // Closed before choosing: the choice may rebuild the panel that opened the list.
        const PopupList list = std::move(*popup);
        popup.reset();
        dirty = true;
        list.choose(row);
        if (rootView->syncWithParameters())
            dirty = true;
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
    captured = hit;
    hit->onMouseDown(relativeTo(*hit, p));
}

void EditorFrame::mouseMoved(Point p)
{
    lastMouse = p;
    if (popup)
    {
        popup->hover(p);
        dirty = true;
        return;
    }
    if (captured)
    {
        captured->onMouseMoved(relativeTo(*captured, p));
        return;
    }
    View* under = rootView->viewAt(p);
    if (under != hovered)
    {
        if (tooltipShown)
            dirty = true;
        hovered = under;
        tooltipShown = false;
    }
    hoveredSince = clock();
}

void EditorFrame::mouseUp(Point p)
{
    lastMouse = p;
    if (View* view = captured)
    {
        captured = nullptr;
        view->onMouseUp(relativeTo(*view, p));
    }
}

bool EditorFrame::wheel(Point p, double notches)
{
    lastMouse = p;
    if (popup || splash)
        return false;
    View* under = rootView->viewAt(p);
    return under && under->onWheel(notches);
}

bool EditorFrame::keyDown(const KeyEvent& event)
{
    if (event.key == Key::escape && (popup || splash))
    {
        popup.reset();
        if (splash && !splash->closingAt)
            splash->closingAt = clock();
        dirty = true;
        return true;
    }
    return focused && focused->onKeyDown(event);
}

void EditorFrame::idle()
{
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

void EditorFrame::openPopup(const Rect& anchor, std::vector<std::string> entries, int selected,
                            std::function<void(int)> chosen)
{
    popup.emplace(anchor, area, std::move(entries), selected, std::move(chosen));
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
    {
        View* view = captured;
        captured = nullptr;
        view->onMouseUp(relativeTo(*view, lastMouse));
    }
    if (focused && contains(subtree, focused))
        setFocus(nullptr);
    if (hovered && contains(subtree, hovered))
        hovered = nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
