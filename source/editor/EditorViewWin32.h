#pragma once

#include <memory>

#include "source/editor/EditorViewBase.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class Win32Window;

// The plug-in window for the host on Windows, a child of the host's window ("HWND"). The scale is
// the host's content scale factor, or the monitor's when the host gives none.
class EditorView : public EditorViewBase
{
public:
    explicit EditorView(EditController* controller, EditorFrame::KnobModeSource knobMode = {});
    ~EditorView() override;

    Win32Window* window() const { return child.get(); }

    tresult PLUGIN_API attached(void* parent, FIDString type) override;

private:
    void closeWindow() override;
    void redrawAfterKey() override;
    void applyScale() override;

    std::unique_ptr<Win32Window> child;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
