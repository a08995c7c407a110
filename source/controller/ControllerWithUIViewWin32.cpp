// The controller's view on Windows: no window of its own yet, so every request answers no view and
// hosts show their generic parameter editor.
#include "ControllerWithUI.h"

namespace Steinberg::Vst::TaviroPlugIn {

IPlugView* PLUGIN_API ControllerWithUI::createView(FIDString /*name*/)
{
    return nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn
