// Interface identifiers of the plug-in view that the SDK package uses (CPluginView) but does not
// define. The Linux run-loop interfaces are in pluginviewiids_linux.cpp.
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg
{
DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)
} // namespace Steinberg
