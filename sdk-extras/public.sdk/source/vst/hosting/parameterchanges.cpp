#include "public.sdk/source/vst/hosting/parameterchanges.h"

namespace Steinberg::Vst {

IMPLEMENT_FUNKNOWN_METHODS(ParameterValueQueue, IParamValueQueue, IParamValueQueue::iid)

ParameterValueQueue::ParameterValueQueue(ParamID id, int32 capacity)
: paramId(id), maxPoints(capacity < 0 ? 0 : capacity)
{
    FUNKNOWN_CTOR
    points.reserve(static_cast<size_t>(maxPoints));
}

tresult PLUGIN_API ParameterValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= getPointCount())
        return kInvalidArgument;
    const Point& point = points[static_cast<size_t>(index)];
    sampleOffset = point.sampleOffset;
    value = point.value;
    return kResultOk;
}

tresult PLUGIN_API ParameterValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    int32 position = 0;
    while (position < getPointCount() && points[static_cast<size_t>(position)].sampleOffset < sampleOffset)
        ++position;
    if (position < getPointCount() && points[static_cast<size_t>(position)].sampleOffset == sampleOffset)
    {
        points[static_cast<size_t>(position)].value = value;
        index = position;
        return kResultOk;
    }
    if (getPointCount() >= maxPoints)
        return kResultFalse;
    points.insert(points.begin() + position, Point{sampleOffset, value});
    index = position;
    return kResultOk;
}

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, IParameterChanges, IParameterChanges::iid)

ParameterChanges::ParameterChanges(int32 maxQueues, int32 maxPointsPerQueue)
{
    FUNKNOWN_CTOR
    for (int32 i = 0; i < maxQueues; ++i)
        queues.push_back(std::make_unique<ParameterValueQueue>(0, maxPointsPerQueue));
}

void ParameterChanges::clear()
{
    for (int32 i = 0; i < usedQueues; ++i)
        queues[static_cast<size_t>(i)]->clear();
    usedQueues = 0;
}

bool ParameterChanges::addChange(ParamID id, ParamValue value, int32 sampleOffset)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    return queue && queue->addPoint(sampleOffset, value, index) == kResultOk;
}

IParamValueQueue* ParameterChanges::findQueue(ParamID id)
{
    for (int32 i = 0; i < usedQueues; ++i)
        if (queues[static_cast<size_t>(i)]->getParameterId() == id)
            return queues[static_cast<size_t>(i)].get();
    return nullptr;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= usedQueues)
        return nullptr;
    return queues[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (int32 i = 0; i < usedQueues; ++i)
    {
        if (queues[static_cast<size_t>(i)]->getParameterId() == id)
        {
            index = i;
            return queues[static_cast<size_t>(i)].get();
        }
    }
    if (usedQueues >= static_cast<int32>(queues.size()))
        return nullptr;
    ParameterValueQueue* queue = queues[static_cast<size_t>(usedQueues)].get();
    queue->setParamID(id);
    queue->clear();
    index = usedQueues++;
    return queue;
}

} // namespace Steinberg::Vst
