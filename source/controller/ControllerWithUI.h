#pragma once

#include "Controller.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The controller the factory creates: the controller together with its editor.
class ControllerWithUI : public Controller
{
public:
    // The factory's create function: the new controller, or null when it cannot be allocated.
    static FUnknown* createInstance(void* context);

    IPlugView* PLUGIN_API createView(FIDString name) override;
    // The host's choice of how knobs follow the mouse; the editor reads it at every drag.
    tresult PLUGIN_API setKnobMode(KnobMode mode) override;
    // Linear (vertical) until the host chooses another.
    KnobMode knobMode() const { return chosenKnobMode; }

    OBJ_METHODS(ControllerWithUI, Controller)

private:
    KnobMode chosenKnobMode = kLinearMode;
};

} // namespace Steinberg::Vst::TaviroPlugIn
