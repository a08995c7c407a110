// The controller's view: the editor window, opened by the name "editor" only, with the host's knob mode.
#include "ControllerWithUI.h"

#include <cstring>

#include "source/editor/EditorView.h"

namespace Steinberg::Vst::TaviroPlugIn {

IPlugView* PLUGIN_API ControllerWithUI::createView(FIDString name)
{
    if (!name || std::strcmp(name, ViewType::kEditor) != 0)
        return nullptr;
    return new Editor::EditorView(this, [this] { return chosenKnobMode; });
}

tresult PLUGIN_API ControllerWithUI::setKnobMode(KnobMode mode)
{
    if (mode != kCircularMode && mode != kRelativCircularMode && mode != kLinearMode)
        return kResultFalse;
    chosenKnobMode = mode;
    return kResultTrue;
}

} // namespace Steinberg::Vst::TaviroPlugIn
