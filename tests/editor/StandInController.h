#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Taviro::Test {

// Until the plug-in's controller is available here: the parameters the editor binds to, with the
// plug-in's identifiers, kinds, ranges and texts.
Steinberg::Vst::EditController* createStandInController();

} // namespace Taviro::Test
