#pragma once

#include "Processor.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The processor the factory offers: it names the controller that comes with the editor.
class ProcessorWithUIController : public Processor
{
public:
    ProcessorWithUIController();

    // The factory's create function: the new processor through its IAudioProcessor, or null.
    static FUnknown* createInstance(void* context);
};

} // namespace Steinberg::Vst::TaviroPlugIn
