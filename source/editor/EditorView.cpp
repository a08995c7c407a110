#include "source/editor/EditorView.h"

#include <cstdint>
#include <utility>

#include "source/editor/X11Window.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

EditorView::EditorView(EditController* c, EditorFrame::KnobModeSource k)
    : EditorViewBase(c, std::move(k), kPlatformTypeX11EmbedWindowID)
{
}

EditorView::~EditorView() { close(); }

tresult PLUGIN_API EditorView::attached(void* parent, FIDString type)
{
    if (!canAttach(parent, type))
        return kResultFalse;
    FUnknownPtr<Linux::IRunLoop> loop(plugFrame);
    if (!loop)
        return kResultFalse;
    if (openFrame())
        window =
            X11Window::open(static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent)), *frame(), scale);
    if (!window)
    {
        close();
        return kResultFalse;
    }
    runLoop = loop;
    runLoop->registerEventHandler(this, window->fileDescriptor());
    runLoop->registerTimer(this, kTimerMilliseconds);
    return CPluginView::attached(parent, type);
}

void EditorView::closeWindow()
{
    if (runLoop)
    {
        runLoop->unregisterTimer(this);
        runLoop->unregisterEventHandler(this);
        runLoop = nullptr;
    }
    window.reset();
}

void EditorView::redrawAfterKey()
{
    if (window)
        window->processEvents();
}

void EditorView::applyScale()
{
    if (window)
        window->setScale(scale);
}

void PLUGIN_API EditorView::onFDIsSet(Linux::FileDescriptor)
{
    if (window)
        window->processEvents();
}

void PLUGIN_API EditorView::onTimer()
{
    if (window)
        window->idle();
}

EditorViewBase* createEditorView(EditController* controller, EditorFrame::KnobModeSource knobMode)
{
    return new EditorView(controller, std::move(knobMode));
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
