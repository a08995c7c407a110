#include "ProcessorWithUIController.h"

#include "source/module/ClassIds.h"

#include <new>

namespace Steinberg::Vst::TaviroPlugIn {

ProcessorWithUIController::ProcessorWithUIController()
{
    setControllerClass(kControllerWithUIUID);
}

FUnknown* ProcessorWithUIController::createInstance(void* /*context*/)
{
    auto* processor = new (std::nothrow) ProcessorWithUIController();
    return processor ? static_cast<IAudioProcessor*>(processor) : nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn
