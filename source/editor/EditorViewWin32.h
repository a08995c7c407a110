#pragma once

#include <functional>
#include <memory>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/pluginview.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/editor/EditorViewSize.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class EditorFrame;
class EditorResources;
class Win32Window;

// The plug-in window for the host on Windows: 946 × 565 times the scale, fixed size, a child of the
// host's window ("HWND"). The scale is the host's content scale factor, or the monitor's when the host
// gives none.
class EditorView : public CPluginView, public IPlugViewContentScaleSupport
{
public:
    static constexpr int kWidth = EditorViewSize::kWidth;
    static constexpr int kHeight = EditorViewSize::kHeight;

    // `knobMode` tells how the host wants knobs to follow the mouse; linear when not given.
    explicit EditorView(EditController* controller, std::function<KnobMode()> knobMode = {});
    ~EditorView() override;

    EditorFrame* frame() const { return editorFrame.get(); }
    Win32Window* window() const { return child.get(); }

    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
    tresult PLUGIN_API attached(void* parent, FIDString type) override;
    tresult PLUGIN_API removed() override;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API onSize(ViewRect* newSize) override;
    tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;
    tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

    OBJ_METHODS(EditorView, CPluginView)
    DEFINE_INTERFACES
        DEF_INTERFACE(IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(CPluginView)
    REFCOUNT_METHODS(CPluginView)

private:
    void close();

    IPtr<EditController> controller;
    std::function<KnobMode()> knobMode;
    std::unique_ptr<EditorResources> resources;
    std::unique_ptr<EditorFrame> editorFrame;
    std::unique_ptr<Win32Window> child;
    double scale = 1;
    bool scaleFromHost = false;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
