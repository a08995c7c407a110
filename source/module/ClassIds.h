#pragma once

#include "pluginterfaces/base/funknown.h"

// The identifiers of the plug-in's classes, as the four 32-bit words of the SDK's FUID. The SDK
// lays the words out in the platform's byte order when it turns them into the 16 reported bytes.
namespace Steinberg::Vst::TaviroPlugIn {

// Class 1: the processor that comes with the editor-equipped controller.
inline const FUID kProcessorWithUIControllerUID(0x41555D9B, 0x55554376, 0x4441021F, 0x773372C3);
// Class 2: the controller with the editor.
inline const FUID kControllerWithUIUID(0x55A30213, 0xE2381185, 0x11C35E3E, 0x333054F5);
// The plain controller, which the factory does not offer; the plain Processor names it.
inline const FUID kControllerUID(0x28C45612, 0x1316497F, 0x7A88334F, 0x17622354);

} // namespace Steinberg::Vst::TaviroPlugIn
