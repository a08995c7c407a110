#include "source/editor/EditorViewBase.h"

#include <cstring>
#include <utility>

#include "source/editor/EditorResources.h"
#include "source/editor/HostKeys.h"
#include "source/editor/ResourceLocation.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

EditorViewBase::EditorViewBase(EditController* c, EditorFrame::KnobModeSource k, FIDString type)
    : CPluginView(nullptr), controller(c), knobMode(std::move(k)), platformType(type)
{
    rect = EditorViewSize::rect(1);
}

EditorViewBase::~EditorViewBase() = default;

tresult PLUGIN_API EditorViewBase::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, platformType) == 0 ? kResultTrue : kResultFalse;
}

bool EditorViewBase::canAttach(void* parent, FIDString type)
{
    return parent && !isAttached() && isPlatformTypeSupported(type) == kResultTrue && controller;
}

bool EditorViewBase::openFrame()
{
    resources = EditorResources::load(editorResourceReader());
    if (resources)
        editorFrame = EditorFrame::create(*resources, *controller, "Editor");
    if (!editorFrame)
        return false;
    editorFrame->setHostView(this, scale);
    editorFrame->setKnobModeSource(knobMode);
    return true;
}

void EditorViewBase::close()
{
    closeWindow();
    editorFrame.reset();
    resources.reset();
}

tresult PLUGIN_API EditorViewBase::removed()
{
    if (!isAttached())
        return kResultFalse;
    close();
    return CPluginView::removed();
}

tresult PLUGIN_API EditorViewBase::onKeyDown(char16 key, int16 keyCode, int16 modifiers)
{
    const auto event = hostKeyEvent(key, keyCode, modifiers);
    if (!editorFrame || !event)
        return kResultFalse;
    const bool used = editorFrame->keyDown(*event);
    redrawAfterKey();
    return used ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API EditorViewBase::onSize(ViewRect* newSize)
{
    return EditorViewSize::accept(newSize, scale);
}

tresult PLUGIN_API EditorViewBase::checkSizeConstraint(ViewRect* r)
{
    return EditorViewSize::constrain(r, scale);
}

tresult PLUGIN_API EditorViewBase::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0))
        return kInvalidArgument;
    scaleFromHost = true;
    scale = EditorViewSize::limited(factor);
    rect = EditorViewSize::rect(scale);
    if (editorFrame)
        editorFrame->setHostView(this, scale);
    applyScale();
    if (plugFrame && isAttached())
        plugFrame->resizeView(this, &rect);
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
