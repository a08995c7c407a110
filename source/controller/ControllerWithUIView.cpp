// The controller's view; kept apart so that the editor can take its place.
#include "ControllerWithUI.h"

namespace Steinberg::Vst::TaviroPlugIn {

IPlugView* PLUGIN_API ControllerWithUI::createView(FIDString /*name*/)
{
    // No editor is built yet.
    return nullptr;
}

} // namespace Steinberg::Vst::TaviroPlugIn
