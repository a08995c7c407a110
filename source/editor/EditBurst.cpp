#include "source/editor/EditBurst.h"

#include "source/editor/ParameterAccess.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

void EditBurst::edit(ParamID id, ParamValue value, double now)
{
    if (open && *open != id)
        finish();
    if (!open)
    {
        parameters.beginEdit(id);
        open = id;
    }
    parameters.performEdit(id, value);
    lastEdit = now;
}

void EditBurst::idle(double now)
{
    if (open && now - lastEdit >= kRestMilliseconds)
        finish();
}

void EditBurst::finish()
{
    if (!open)
        return;
    const ParamID id = *open;
    open.reset();
    parameters.endEdit(id);
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
