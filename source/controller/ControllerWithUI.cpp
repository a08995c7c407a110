#include "ControllerWithUI.h"

#include <new>

namespace Steinberg::Vst::TaviroPlugIn {

FUnknown* ControllerWithUI::createInstance(void* /*context*/)
{
    auto* controller = new (std::nothrow) ControllerWithUI;
    return controller ? static_cast<IEditController*>(controller) : nullptr;
}

tresult PLUGIN_API ControllerWithUI::setKnobMode(KnobMode mode)
{
    if (mode != kCircularMode && mode != kRelativCircularMode && mode != kLinearMode)
        return kResultFalse;
    chosenKnobMode = mode;
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn
