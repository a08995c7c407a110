#include "source/editor/EditorView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "source/editor/EditorResources.h"
#include "source/editor/EditorViewSize.h"
#include "source/editor/HostKeys.h"
#include "source/editor/ResourceLocation.h"
#include "source/editor/X11Window.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

EditorView::EditorView(EditController* c, EditorFrame::KnobModeSource k)
    : CPluginView(nullptr), controller(c), knobMode(std::move(k))
{
    rect = EditorViewSize::rect(1);
}

EditorView::~EditorView() { close(); }

tresult PLUGIN_API EditorView::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorView::attached(void* parent, FIDString type)
{
    if (!parent || isAttached() || isPlatformTypeSupported(type) != kResultTrue || !controller)
        return kResultFalse;
    FUnknownPtr<Linux::IRunLoop> loop(plugFrame);
    if (!loop)
        return kResultFalse;
    resources = EditorResources::load(editorResourceReader());
    if (resources)
        editorFrame = EditorFrame::create(*resources, *controller, "Editor");
    if (editorFrame)
    {
        editorFrame->setHostView(this, scale);
        editorFrame->setKnobModeSource(knobMode);
        window = X11Window::open(static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(parent)), *editorFrame,
                                 scale);
    }
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

tresult PLUGIN_API EditorView::removed()
{
    if (!isAttached())
        return kResultFalse;
    close();
    return CPluginView::removed();
}

void EditorView::close()
{
    if (runLoop)
    {
        runLoop->unregisterTimer(this);
        runLoop->unregisterEventHandler(this);
        runLoop = nullptr;
    }
    window.reset();
    editorFrame.reset();
    resources.reset();
}

tresult PLUGIN_API EditorView::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
    if (!editorFrame)
        return kResultFalse;
    const auto event = hostKeyEvent(key, keyCode, modifiers);
    if (!event)
        return kResultFalse;
    const bool used = editorFrame->keyDown(*event);
    if (window)
        window->processEvents();
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
    scale = EditorViewSize::limited(factor);
    rect = EditorViewSize::rect(scale);
    if (editorFrame)
        editorFrame->setHostView(this, scale);
    if (window)
        window->setScale(scale);
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
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

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
