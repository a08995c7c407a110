#pragma once

#include <memory>

#include "source/editor/EditorViewBase.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class X11Window;

// The plug-in window for the host on Linux, embedded into the host's X11 window and driven by the
// host's run loop (the display connection's descriptor for events, a timer for parameter changes
// and animation).
class EditorView : public EditorViewBase, public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
    static constexpr Linux::TimerInterval kTimerMilliseconds = 30;

    explicit EditorView(EditController* controller, EditorFrame::KnobModeSource knobMode = {});
    ~EditorView() override;

    tresult PLUGIN_API attached(void* parent, FIDString type) override;
    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override;
    void PLUGIN_API onTimer() override;

    OBJ_METHODS(EditorView, EditorViewBase)
    DEFINE_INTERFACES
    DEF_INTERFACE(Linux::IEventHandler)
    DEF_INTERFACE(Linux::ITimerHandler)
    END_DEFINE_INTERFACES(EditorViewBase)
    REFCOUNT_METHODS(EditorViewBase)

private:
    void closeWindow() override;
    void redrawAfterKey() override;
    void applyScale() override;

    std::unique_ptr<X11Window> window;
    IPtr<Linux::IRunLoop> runLoop;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
