// Interface identifiers of the host's run loop that plug-in views use on Linux; the SDK package
// declares them but does not define them.
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg::Linux {
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
DEF_CLASS_IID(IRunLoop)
} // namespace Steinberg::Linux
