#pragma once

#include "source/state/GlobalParameterState.h"

#include <array>
#include <atomic>
#include <thread>

namespace Steinberg::Vst::TaviroPlugIn {

// Carries restored states from the host's main thread to the audio thread, and the audio
// thread's current state back, without locks and without either side ever seeing half a state.
//
// To the audio thread: one slot. The main thread reads a restore into the slot and marks it
// full; `process` takes it over at the start of its next block. A second restore before that
// replaces the first (it was read on top of it, so nothing is lost).
// From the audio thread: a triple buffer of snapshots, published after every block that changed
// the state, so that the main thread can always write the newest state without touching the one
// the audio thread works on.
class StateHandover
{
public:
    // Main thread, while no block runs: every snapshot becomes `live`, the slot empty.
    void reset(const GlobalParameterState& live);

    // Main thread: the newest state: a restore still waiting in the slot, else the last snapshot.
    const GlobalParameterState& newest();

    // Main thread: lets `read` change a copy of the newest state, then hands the copy to the audio
    // thread. Answers what `read` answers; a partial read is handed over as it is.
    template <typename Read>
    tresult restore(Read&& read)
    {
        claimSlot();
        const tresult result = read(slot);
        slotState.store(kFull, std::memory_order_release);
        return result;
    }

    // Audio thread (or main thread while no block runs): copies the persisted fields of a waiting
    // restore into `live` and publishes the result. True when there was one.
    bool takeOver(GlobalParameterState& live);

    // Audio thread: makes `live` what `newest` answers from now on.
    void publish(const GlobalParameterState& live);

private:
    enum SlotState : uint8
    {
        kEmpty,  // the main thread may write the slot
        kFull,   // a restore waits for the audio thread
        kTaking, // the audio thread is copying the slot
    };
    static constexpr uint8 kIndexMask = 3;
    static constexpr uint8 kFresh = 4;

    // Leaves the slot empty and holding the newest state, ready to be read into.
    void claimSlot();
    const GlobalParameterState& latestSnapshot();

    GlobalParameterState slot{};
    std::atomic<uint8> slotState{kEmpty};

    std::array<GlobalParameterState, 3> snapshots{};
    std::atomic<uint8> middle{1}; // index of the buffer between the two sides, plus kFresh
    uint8 back = 0;               // the audio thread's buffer
    uint8 front = 2;              // the main thread's buffer
};

} // namespace Steinberg::Vst::TaviroPlugIn
