#include "ChannelNoteExpressions.h"

#include "ControllerIds.h"
#include "PanNoteExpressionType.h"
#include "Utf16.h"
#include "source/state/GlobalParameterState.h"

#include <string>

namespace Steinberg::Vst::TaviroPlugIn {

void addChannelNoteExpressions(NoteExpressionTypeContainer& container)
{
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        const auto title = utf16("Volume MIDI channel " + std::to_string(ch + 1));
        container.addNoteExpressionType(new NoteExpressionType(kVolumeNoteExpressionBase + ch, title.c_str(),
                                                               STR16("Vol"), nullptr, channelUnitId(ch), 1.0, 0.0,
                                                               1.0, 0, 0, 4));
    }
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        const auto title = utf16("Pan MIDI channel " + std::to_string(ch + 1));
        container.addNoteExpressionType(
            new PanNoteExpressionType(kPanNoteExpressionBase + ch, title.c_str(), channelUnitId(ch)));
    }
}

} // namespace Steinberg::Vst::TaviroPlugIn
