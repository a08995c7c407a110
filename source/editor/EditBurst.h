#pragma once

#include <optional>

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

class ParameterAccess;

// Quick runs of edits of one parameter (wheel notches, a held arrow key) reach the host as one
// gesture, so that it records one automation edit rather than one per notch: begin at the first
// edit, end once the run has rested for kRestMilliseconds, or when another parameter starts a run.
class EditBurst
{
public:
    static constexpr double kRestMilliseconds = 300;

    explicit EditBurst(ParameterAccess& parameters) : parameters(parameters) {}
    ~EditBurst() { finish(); }
    EditBurst(const EditBurst&) = delete;
    EditBurst& operator=(const EditBurst&) = delete;

    void edit(ParamID id, ParamValue value, double nowMilliseconds);
    // Ends a run that has rested long enough.
    void idle(double nowMilliseconds);
    // Ends the run now.
    void finish();
    bool isOpen() const { return open.has_value(); }

private:
    ParameterAccess& parameters;
    std::optional<ParamID> open;
    double lastEdit = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
