#include "source/editor/EditorViewWin32.h"

#include <utility>

#include "source/editor/Win32Window.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

EditorView::EditorView(EditController* c, EditorFrame::KnobModeSource k)
    : EditorViewBase(c, std::move(k), kPlatformTypeHWND)
{
}

EditorView::~EditorView()
{
    close();
}

tresult PLUGIN_API EditorView::attached(void* parent, FIDString type)
{
    if (!canAttach(parent, type))
        return kResultFalse;
    const HWND parentWindow = static_cast<HWND>(parent);
    // Without a factor from the host, the monitor's: 96 dots per inch is a scale of 1.
    if (!scaleFromHost)
    {
        scale = EditorViewSize::limited(::GetDpiForWindow(parentWindow) / 96.0);
        rect = EditorViewSize::rect(scale);
    }
    if (openFrame())
        child = Win32Window::open(parentWindow, *frame(), scale);
    if (!child)
    {
        close();
        return kResultFalse;
    }
    return CPluginView::attached(parent, type);
}

void EditorView::closeWindow()
{
    child.reset();
}

void EditorView::redrawAfterKey()
{
    if (child && frame()->needsRedraw())
        ::InvalidateRect(child->handle(), nullptr, FALSE);
}

void EditorView::applyScale()
{
    if (child)
        child->setScale(scale);
}

EditorViewBase* createEditorView(EditController* controller, EditorFrame::KnobModeSource knobMode)
{
    return new EditorView(controller, std::move(knobMode));
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
