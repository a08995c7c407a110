#include "source/editor/EditorViewWin32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"
#include "source/editor/HostKeys.h"
#include "source/editor/ResourceLocation.h"
#include "source/editor/Win32Window.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

namespace {

ViewRect scaledRect(double scale)
{
    return ViewRect(0, 0, static_cast<int32>(std::lround(EditorView::kWidth * scale)),
                    static_cast<int32>(std::lround(EditorView::kHeight * scale)));
}

double limited(double scale) { return std::clamp(scale, 0.5, 4.0); }

} // namespace

EditorView::EditorView(EditController* c, std::function<KnobMode()> k)
    : CPluginView(nullptr), controller(c), knobMode(std::move(k))
{
    rect = scaledRect(1);
}

EditorView::~EditorView() { close(); }

tresult PLUGIN_API EditorView::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorView::attached(void* parent, FIDString type)
{
    if (!parent || isAttached() || isPlatformTypeSupported(type) != kResultTrue || !controller)
        return kResultFalse;
    const HWND parentWindow = static_cast<HWND>(parent);
    // Without a factor from the host, the monitor's: 96 dots per inch is a scale of 1.
    if (!scaleFromHost)
    {
        scale = limited(::GetDpiForWindow(parentWindow) / 96.0);
        rect = scaledRect(scale);
    }
    resources = EditorResources::load(editorResourceReader());
    if (resources)
        editorFrame = EditorFrame::create(*resources, *controller, "Editor");
    if (editorFrame)
    {
        editorFrame->setHostView(this, scale);
        editorFrame->setKnobModeSource(knobMode);
        child = Win32Window::open(parentWindow, *editorFrame, scale);
    }
    if (!child)
    {
        close();
        return kResultFalse;
    }
    return CPluginView::attached(parent, type);
}

tresult PLUGIN_API EditorView::removed()
{
    if (!isAttached())
        return kResultFalse;
    close();
    return CPluginView::removed();
}

void EditorView::close()
{
    child.reset();
    editorFrame.reset();
    resources.reset();
}

tresult PLUGIN_API EditorView::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
    const auto event = hostKeyEvent(key, keyCode, modifiers);
    if (!editorFrame || !event)
        return kResultFalse;
    const bool used = editorFrame->keyDown(*event);
    if (editorFrame->needsRedraw() && child)
        ::InvalidateRect(child->handle(), nullptr, FALSE);
    return used ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorView::onSize(ViewRect* newSize)
{
    if (!newSize)
        return kInvalidArgument;
    const ViewRect wanted = scaledRect(scale);
    return newSize->getWidth() == wanted.getWidth() && newSize->getHeight() == wanted.getHeight() ? kResultTrue
                                                                                                  : kResultFalse;
}

tresult PLUGIN_API EditorView::checkSizeConstraint(ViewRect* r)
{
    if (!r)
        return kInvalidArgument;
    const ViewRect wanted = scaledRect(scale);
    r->right = r->left + wanted.getWidth();
    r->bottom = r->top + wanted.getHeight();
    return kResultTrue;
}

tresult PLUGIN_API EditorView::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0))
        return kInvalidArgument;
    scaleFromHost = true;
    scale = limited(factor);
    rect = scaledRect(scale);
    if (editorFrame)
        editorFrame->setHostView(this, scale);
    if (child)
        child->setScale(scale);
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
