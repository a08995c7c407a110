#include "public.sdk/source/vst/hosting/componenthandler.h"

namespace Steinberg::Vst {

IMPLEMENT_FUNKNOWN_METHODS(ComponentHandler, IComponentHandler, IComponentHandler::iid)

ComponentHandler::ComponentHandler()
{
    FUNKNOWN_CTOR
}

void ComponentHandler::clear()
{
    recordedEdits.clear();
    recordedRestarts.clear();
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id)
{
    recordedEdits.push_back({Edit::kBegin, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    recordedEdits.push_back({Edit::kPerform, id, valueNormalized});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id)
{
    recordedEdits.push_back({Edit::kEnd, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
    recordedRestarts.push_back(flags);
    return kResultOk;
}

} // namespace Steinberg::Vst
