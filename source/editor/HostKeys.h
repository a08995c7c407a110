#pragma once

#include <optional>

#include "pluginterfaces/base/ftypes.h"
#include "source/editor/InputEvents.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// A key the host passes to IPlugView::onKeyDown as the frame's key event; nothing for keys the editor
// has no use for.
std::optional<KeyEvent> hostKeyEvent(char16 key, int16 keyCode, int16 modifiers);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
