#pragma once

#include <optional>
#include <string>

#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "source/common/Utf8.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

// The editor's only way to the sound: the controller's parameters by identifier (the control tag).
// Edits made here go to the host as begin/perform/end edit through the controller.
class ParameterAccess
{
public:
    explicit ParameterAccess(EditController& controller) : controller(controller) {}

    bool exists(ParamID id) const { return controller.getParameterObject(id) != nullptr; }
    ParamValue value(ParamID id) const { return controller.getParamNormalized(id); }
    // Steps of the parameter (entries of a list minus one); 0 for a continuous or missing one.
    int32 stepCount(ParamID id) const;
    double toPlain(ParamID id, ParamValue normalized) const;
    // The normalised default the controller declares for the parameter.
    ParamValue defaultValue(ParamID id) const;
    // The parameter's own text for a normalised value, as UTF-8.
    std::string text(ParamID id, ParamValue normalized) const;
    // The normalised value the parameter reads from a typed text; nothing when it rejects it.
    std::optional<ParamValue> parse(ParamID id, const std::string& text) const;

    void beginEdit(ParamID id) { controller.beginEdit(id); }
    // Sets the controller's value and tells the host.
    void performEdit(ParamID id, ParamValue normalized);
    void endEdit(ParamID id) { controller.endEdit(id); }
    // One complete gesture: begin, perform, end.
    void edit(ParamID id, ParamValue normalized);

    // Pops up the host's context menu for the parameter at (x, y) of `view` (the host's automation,
    // MIDI-learn and reset entries); false when the host offers no such menu.
    bool popupHostContextMenu(IPlugView* view, ParamID id, UCoord x, UCoord y);

private:
    EditController& controller;
};

void utf8ToUtf16(const std::string& text, char16* out, size_t capacity);

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
