#include "VoiceProcessor.h"

#include "Voice.h"
#include "VoiceProcessorImplementation.h"

namespace Steinberg::Vst {

using TaviroPlugIn::GlobalParameterState;
using TaviroPlugIn::Voice;

template class VoiceProcessorImplementation<float, Voice<float>, 2, 128, GlobalParameterState>;
template class VoiceProcessorImplementation<double, Voice<double>, 2, 128, GlobalParameterState>;

VoiceProcessor* createVoiceProcessor(int32 symbolicSampleSize, float sampleRate, GlobalParameterState* state,
                                     TaviroPlugIn::SampleBank* bank)
{
    switch (symbolicSampleSize)
    {
    case kSample32:
        return new VoiceProcessorImplementation<float, Voice<float>, 2, 128, GlobalParameterState>(sampleRate,
                                                                                                    state, bank);
    case kSample64:
        return new VoiceProcessorImplementation<double, Voice<double>, 2, 128, GlobalParameterState>(sampleRate,
                                                                                                      state, bank);
    default: return nullptr;
    }
}

} // namespace Steinberg::Vst
