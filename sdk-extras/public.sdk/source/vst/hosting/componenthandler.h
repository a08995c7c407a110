#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <vector>

namespace Steinberg::Vst {

// The host's side of a controller's edits: records every call in order, so that a host can
// forward the edits to the processor and a test can check them. Main thread only.
class ComponentHandler : public IComponentHandler
{
public:
    struct Edit
    {
        enum Kind
        {
            kBegin,
            kPerform,
            kEnd
        };
        Kind kind;
        ParamID id;
        ParamValue value; // the performed value; 0 for begin and end
    };

    ComponentHandler();
    virtual ~ComponentHandler() = default;

    const std::vector<Edit>& edits() const { return recordedEdits; }
    const std::vector<int32>& restartFlags() const { return recordedRestarts; }
    void clear();

    // IComponentHandler
    tresult PLUGIN_API beginEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE;
    tresult PLUGIN_API endEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API restartComponent(int32 flags) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<Edit> recordedEdits;
    std::vector<int32> recordedRestarts;
};

} // namespace Steinberg::Vst
