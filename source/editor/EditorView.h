#pragma once

#include <memory>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/editor/EditorFrame.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class EditorResources;
class X11Window;

// The plug-in window for the host: 946 × 565 (times the content scale), fixed size, embedded into the
// host's X11 window and driven by the host's run loop (the display connection's descriptor for
// events, a timer for parameter changes and animation).
class EditorView : public CPluginView, public IPlugViewContentScaleSupport, public Linux::IEventHandler,
                   public Linux::ITimerHandler
{
public:
    static constexpr int kWidth = 946;
    static constexpr int kHeight = 565;
    static constexpr Linux::TimerInterval kTimerMilliseconds = 30;

    // `knobMode` tells how the host wants knobs to follow the mouse; linear when not given.
    explicit EditorView(EditController* controller, EditorFrame::KnobModeSource knobMode = {});
    ~EditorView() override;

    EditorFrame* frame() const { return editorFrame.get(); }

    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
    tresult PLUGIN_API attached(void* parent, FIDString type) override;
    tresult PLUGIN_API removed() override;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API onSize(ViewRect* newSize) override;
    tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;
    tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;
    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override;
    void PLUGIN_API onTimer() override;

    OBJ_METHODS(EditorView, CPluginView)
    DEFINE_INTERFACES
        DEF_INTERFACE(IPlugViewContentScaleSupport)
        DEF_INTERFACE(Linux::IEventHandler)
        DEF_INTERFACE(Linux::ITimerHandler)
    END_DEFINE_INTERFACES(CPluginView)
    REFCOUNT_METHODS(CPluginView)

private:
    void close();

    IPtr<EditController> controller;
    EditorFrame::KnobModeSource knobMode;
    std::unique_ptr<EditorResources> resources;
    std::unique_ptr<EditorFrame> editorFrame;
    std::unique_ptr<X11Window> window;
    IPtr<Linux::IRunLoop> runLoop;
    double scale = 1;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
