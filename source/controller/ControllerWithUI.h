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

    OBJ_METHODS(ControllerWithUI, Controller)
};

} // namespace Steinberg::Vst::TaviroPlugIn
