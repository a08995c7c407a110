#include "source/editor/EditorViewWin32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"
#include "source/editor/EditorViewSize.h"
#include "source/editor/HostKeys.h"
#include "source/editor/ResourceLocation.h"
#include "source/editor/Win32Window.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

EditorView::EditorView(EditController* c, std::function<KnobMode()> k)
    : CPluginView(nullptr), controller(c), knobMode(std::move(k))
{
    rect = EditorViewSize::rect(1);
}

EditorView::~EditorView()
{
    close();
}

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
        scale = EditorViewSize::limited(::GetDpiForWindow(parentWindow) / 96.0);
        rect = EditorViewSize::rect(scale);
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
    return EditorViewSize::accept(newSize, scale);
}

tresult PLUGIN_API EditorView::checkSizeConstraint(ViewRect* r)
{
    return EditorViewSize::constrain(r, scale);
}

tresult PLUGIN_API EditorView::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0))
        return kInvalidArgument;
    scaleFromHost = true;
    scale = EditorViewSize::limited(factor);
    rect = EditorViewSize::rect(scale);
    if (editorFrame)
        editorFrame->setHostView(this, scale);
    if (child)
        child->setScale(scale);
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
