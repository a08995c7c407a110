#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <memory>
#include <vector>

namespace Steinberg::Vst {

// The points of one parameter within a block, kept in sample-offset order. Capacity is fixed at
// construction; a point beyond it is refused.
class ParameterValueQueue : public IParamValueQueue
{
public:
    explicit ParameterValueQueue(ParamID id = 0, int32 maxPoints = 16);
    virtual ~ParameterValueQueue() = default;

    void setParamID(ParamID id) { paramId = id; }
    void clear() { points.clear(); }

    // IParamValueQueue
    ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return paramId; }
    int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return static_cast<int32>(points.size()); }
    tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
    // A point at an offset that is already taken replaces its value.
    tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    struct Point
    {
        int32 sampleOffset;
        ParamValue value;
    };

    ParamID paramId;
    int32 maxPoints;
    std::vector<Point> points;
};

// The parameter changes of one block, in either direction: one queue per parameter, in the order
// of their first change. Queues and points are preallocated; asking for a queue when all are in
// use answers null.
class ParameterChanges : public IParameterChanges
{
public:
    explicit ParameterChanges(int32 maxQueues = 64, int32 maxPointsPerQueue = 16);
    virtual ~ParameterChanges() = default;

    // Empties every queue for the next block.
    void clear();

    // A single point for parameter `id`, as a host adds an edit for one block.
    bool addChange(ParamID id, ParamValue value, int32 sampleOffset = 0);

    // The queue of `id` if the block has one, else null.
    IParamValueQueue* findQueue(ParamID id);

    // IParameterChanges
    int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return usedQueues; }
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) SMTG_OVERRIDE;
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<std::unique_ptr<ParameterValueQueue>> queues;
    int32 usedQueues = 0;
};

} // namespace Steinberg::Vst
