#include "source/editor/EditorViewWin32.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "source/editor/EditorFrame.h"
#include "source/editor/EditorResources.h"
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

EditorView::EditorView(EditController* c) : CPluginView(nullptr), controller(c) { rect = scaledRect(1); }

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
        child = Win32Window::open(parentWindow, *editorFrame, scale);
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
    if (child)
        child->setScale(scale);
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
