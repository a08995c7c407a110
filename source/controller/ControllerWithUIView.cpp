// The controller's view: the editor window, opened by the name "editor" only, with the host's knob mode.
#include "ControllerWithUI.h"

#include <cstring>

#include "source/editor/EditorViewBase.h"

namespace Steinberg::Vst::TaviroPlugIn {

IPlugView* PLUGIN_API ControllerWithUI::createView(FIDString name)
{
    if (!name || std::strcmp(name, ViewType::kEditor) != 0)
        return nullptr;
    return Editor::createEditorView(this, [this] { return chosenKnobMode; });
}

} // namespace Steinberg::Vst::TaviroPlugIn
