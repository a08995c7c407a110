#include "StateHandover.h"

#include <algorithm>
#include <iterator>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// A restore carries only what the stream holds; the performance controls keep the values the
// blocks applied last (the restore's copies of them may be older).
void takePersistedFields(GlobalParameterState& live, const GlobalParameterState& restored)
{
    double modWheel[kNumChannels], pitchBend[kNumChannels], mainVolume[kNumChannels], panorama[kNumChannels];
    std::copy(std::begin(live.modWheel), std::end(live.modWheel), modWheel);
    std::copy(std::begin(live.pitchBend), std::end(live.pitchBend), pitchBend);
    std::copy(std::begin(live.mainVolume), std::end(live.mainVolume), mainVolume);
    std::copy(std::begin(live.panorama), std::end(live.panorama), panorama);
    live = restored;
    std::copy(std::begin(modWheel), std::end(modWheel), live.modWheel);
    std::copy(std::begin(pitchBend), std::end(pitchBend), live.pitchBend);
    std::copy(std::begin(mainVolume), std::end(mainVolume), live.mainVolume);
    std::copy(std::begin(panorama), std::end(panorama), live.panorama);
}

} // namespace

void StateHandover::reset(const GlobalParameterState& live)
{
    snapshots.fill(live);
    back = 0;
    front = 2;
    middle.store(1, std::memory_order_release);
    slotState.store(kEmpty, std::memory_order_release);
}

const GlobalParameterState& StateHandover::newest()
{
    if (slotState.load(std::memory_order_acquire) != kEmpty)
        return slot;
    return latestSnapshot();
}

void StateHandover::claimSlot()
{
    for (;;)
    {
        uint8 expected = kFull;
        // A restore the audio thread has not taken yet: take it back and read on top of it.
        if (slotState.compare_exchange_strong(expected, kEmpty, std::memory_order_acq_rel))
            return;
        if (expected == kEmpty)
        {
            slot = latestSnapshot();
            return;
        }
        // The audio thread is copying the slot right now; that takes a few microseconds.
        std::this_thread::yield();
    }
}

bool StateHandover::takeOver(GlobalParameterState& live)
{
    uint8 expected = kFull;
    if (!slotState.compare_exchange_strong(expected, kTaking, std::memory_order_acquire))
        return false;
    takePersistedFields(live, slot);
    // Published before the slot empties, so the main thread never sees an older state in between.
    publish(live);
    slotState.store(kEmpty, std::memory_order_release);
    return true;
}

void StateHandover::publish(const GlobalParameterState& live)
{
    snapshots[back] = live;
    back = middle.exchange(static_cast<uint8>(back | kFresh), std::memory_order_acq_rel) & kIndexMask;
}

const GlobalParameterState& StateHandover::latestSnapshot()
{
    if (middle.load(std::memory_order_relaxed) & kFresh)
        front = middle.exchange(front, std::memory_order_acq_rel) & kIndexMask;
    return snapshots[front];
}

} // namespace Steinberg::Vst::TaviroPlugIn
