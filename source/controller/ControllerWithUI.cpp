#include "ControllerWithUI.h"

#include <new>

namespace Steinberg::Vst::TaviroPlugIn {

FUnknown* ControllerWithUI::createInstance(void* /*context*/)
{
    auto* controller = new (std::nothrow) ControllerWithUI;
    return controller ? static_cast<IEditController*>(controller) : nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn
