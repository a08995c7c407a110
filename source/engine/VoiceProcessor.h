#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "source/state/GlobalParameterState.h"
#include "source/samples/SampleBank.h"

namespace Steinberg::Vst {

// The pool of voices that all 16 channels share, seen from the processor.
class VoiceProcessor
{
public:
    virtual ~VoiceProcessor() = default;
    // Renders one block: clears the 16 output buses, dispatches the block's note events, lets
    // every busy voice add its samples.
    virtual tresult process(ProcessData& data) = 0;

    int32 activeVoices = 0; // voices started and not yet ended
};

// Builds the pool for the host's sample size: kSample32 in single precision, kSample64 in double
// precision; null for any other size.
VoiceProcessor* createVoiceProcessor(int32 symbolicSampleSize, float sampleRate,
                                     TaviroPlugIn::GlobalParameterState* state,
                                     TaviroPlugIn::SampleBank* bank);

} // namespace Steinberg::Vst
