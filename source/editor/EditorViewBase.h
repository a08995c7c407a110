#pragma once

#include <memory>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/editor/EditorFrame.h"
#include "source/editor/EditorViewSize.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class EditorResources;

// What the plug-in window does alike on every platform: its fixed size times the content scale,
// the editor frame it shows and the host's keys. Each platform's EditorView adds its window: it
// opens it in `attached`, and closes it (through close()) in `removed` and its destructor.
class EditorViewBase : public CPluginView, public IPlugViewContentScaleSupport
{
public:
    EditorFrame* frame() const { return editorFrame.get(); }

    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
    tresult PLUGIN_API removed() override;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API onSize(ViewRect* newSize) override;
    tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;
    tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

    OBJ_METHODS(EditorViewBase, CPluginView)
    DEFINE_INTERFACES
    DEF_INTERFACE(IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(CPluginView)
    REFCOUNT_METHODS(CPluginView)

protected:
    // `knobMode` tells how the host wants knobs to follow the mouse; linear when not given.
    EditorViewBase(EditController* controller, EditorFrame::KnobModeSource knobMode, FIDString platformType);
    ~EditorViewBase() override;

    // The checks every `attached` makes first: a parent, the platform's type, not yet attached.
    bool canAttach(void* parent, FIDString type);
    // Loads the document and builds the frame at the current scale; false when either fails.
    bool openFrame();
    // Closes the window, then the frame and its resources.
    void close();

    double scale = 1;
    bool scaleFromHost = false; // the host has set a content scale factor

private:
    virtual void closeWindow() = 0;
    // The window shows what a key changed.
    virtual void redrawAfterKey() = 0;
    virtual void applyScale() = 0;

    IPtr<EditController> controller;
    EditorFrame::KnobModeSource knobMode;
    FIDString platformType;
    std::unique_ptr<EditorResources> resources;
    std::unique_ptr<EditorFrame> editorFrame;
};

// The platform's plug-in view (EditorView.cpp on Linux, EditorViewWin32.cpp on Windows).
EditorViewBase* createEditorView(EditController* controller, EditorFrame::KnobModeSource knobMode);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
