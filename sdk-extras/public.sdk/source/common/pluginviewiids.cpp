// Interface identifiers of the plug-in view that the SDK package uses (CPluginView) but does not
// define.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
DEF_CLASS_IID(IPlugView)
} // namespace Steinberg
