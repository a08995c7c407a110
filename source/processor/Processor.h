#pragma once

#include "source/state/GlobalParameterState.h"
#include "source/state/PendingParameterIds.h"
#include "StateHandover.h"
#include "source/engine/VoiceProcessor.h"
#include "source/samples/SampleBank.h"

#include "public.sdk/source/vst/vstaudioeffect.h"

#include <memory>

namespace Steinberg::Vst::TaviroPlugIn {

// The audio processor component: 16 stereo outputs (one per MIDI channel) and one event input,
// the channel parameter state and its stream, and the process cycle that turns the host's
// parameter changes and notes into sound.
class Processor : public AudioEffect
{
public:
    Processor();
    ~Processor() override;

    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    // Activation loads the sample bank and builds the voice pool for the set-up sample size;
    // deactivation frees both.
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    // While active, a restore is read into a copy and takes effect at the start of the next block.
    tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;
    // Only no inputs and 16 stereo outputs.
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                          int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    // A sample rate that is not a number between 1 kHz and 1 MHz is refused with kInvalidArgument,
    // and the earlier setup stays in force.
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;

protected:
    std::unique_ptr<VoiceProcessor> voiceProcessor; // null while inactive
    GlobalParameterState globalParameterState;      // written only by `process` while active
    SampleBank sampleBank;                          // empty while inactive
    PendingParameterIds pendingParameterIds;        // reported to the host one per block
    StateHandover stateHandover;

private:
    // Answers whether any change reached the state.
    bool applyParameterChanges(IParameterChanges* changes);
    void reportToHost(IParameterChanges& changes);
};

} // namespace Steinberg::Vst::TaviroPlugIn
