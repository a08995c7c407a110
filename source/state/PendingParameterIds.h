#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <array>

namespace Steinberg::Vst::TaviroPlugIn {

// The identifiers whose current values still have to be reported to the host, used as a stack
// (last pushed is reported first). Sized once for every channel parameter, so pushing never
// allocates on the audio thread; an identifier that is already pending moves to the top instead
// of being stored twice, which keeps the stack bounded however often programs change.
class PendingParameterIds
{
public:
    // Channel parameters are 0..783; nothing else is ever queued.
    static constexpr int32 kCapacity = 784;

    PendingParameterIds() { positions.fill(kAbsent); }

    // Identifiers outside the channel parameters are ignored.
    void push(ParamID id)
    {
        if (id >= static_cast<ParamID>(kCapacity))
            return;
        if (positions[id] != kAbsent)
            removeAt(positions[id]);
        positions[id] = static_cast<int16>(count);
        ids[count++] = id;
    }

    bool empty() const { return count == 0; }
    int32 size() const { return count; }
    ParamID top() const { return ids[count - 1]; }

    void pop()
    {
        positions[ids[--count]] = kAbsent;
    }

private:
    static constexpr int16 kAbsent = -1;

    void removeAt(int32 index)
    {
        for (int32 i = index; i + 1 < count; ++i)
        {
            ids[i] = ids[i + 1];
            positions[ids[i]] = static_cast<int16>(i);
        }
        --count;
    }

    std::array<ParamID, kCapacity> ids{};
    std::array<int16, kCapacity> positions{};
    int32 count = 0;
};

} // namespace Steinberg::Vst::TaviroPlugIn
