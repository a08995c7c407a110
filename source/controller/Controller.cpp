#include "Controller.h"

#include "ChannelNoteExpressions.h"
#include "ChannelParameters.h"
#include "ControllerIds.h"
#include "UnitsAndProgramLists.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <algorithm>

namespace Steinberg::Vst::TaviroPlugIn {

tresult PLUGIN_API Controller::initialize(FUnknown* context)
{
    // A controller whose base refuses (e.g. a second initialize) stays as it is.
    if (EditControllerEx1::initialize(context) != kResultOk)
        return kResultOk;

    for (auto& row : midiControllerTable)
        row.fill(kNoParamId);

    addUnits(*this);
    addProgramLists(*this, parameters);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
        addChannelParameters(parameters, ch, midiControllerTable[static_cast<size_t>(ch)]);
    addGlobalParameters(parameters);
    addChannelNoteExpressions(noteExpressionTypes);
    return kResultOk;
}

tresult PLUGIN_API Controller::terminate()
{
    noteExpressionTypes.removeAll();
    return EditControllerEx1::terminate();
}

tresult PLUGIN_API Controller::setParamNormalized(ParamID tag, ParamValue value)
{
    // No identifier is special here: what a program change or the editor's channel selector
    // causes is the business of the processor and the editor.
    return EditControllerEx1::setParamNormalized(tag, value);
}

tresult PLUGIN_API Controller::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= getParameterCount())
        return kResultFalse;
    return EditControllerEx1::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API Controller::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                     String128 string)
{
    // A list would look its entry up outside its entries; anything not a number reads as 0.
    const ParamValue value = valueNormalized >= 0.0 ? std::min(valueNormalized, 1.0) : 0.0;
    return EditControllerEx1::getParamStringByValue(tag, value, string);
}

tresult PLUGIN_API Controller::getParamValueByString(ParamID tag, TChar* string, ParamValue& valueNormalized)
{
    if (!string)
        return kResultFalse;
    return EditControllerEx1::getParamValueByString(tag, string, valueNormalized);
}

tresult PLUGIN_API Controller::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex < 0 || unitIndex >= getUnitCount())
        return kResultFalse;
    return EditControllerEx1::getUnitInfo(unitIndex, info);
}

bool Controller::isEventChannel(int32 busIndex, int32 channel)
{
    return busIndex == 0 && channel >= 0 && channel < kNumChannels;
}

tresult PLUGIN_API Controller::getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                            UnitID& unitId)
{
    if (type != kEvent || dir != kInput || !isEventChannel(busIndex, channel))
        return kResultFalse;
    unitId = channelUnitId(channel);
    return kResultOk;
}

int32 PLUGIN_API Controller::getNoteExpressionCount(int32 busIndex, int16 channel)
{
    return isEventChannel(busIndex, channel) ? 2 : 0;
}

tresult PLUGIN_API Controller::getNoteExpressionInfo(int32 busIndex, int16 channel, int32 noteExpressionIndex,
                                                     NoteExpressionTypeInfo& info)
{
    if (!isEventChannel(busIndex, channel))
        return kResultFalse;
    // Index 1 is the channel's pan; every other index answers with its volume.
    const int32 position = noteExpressionIndex == 1 ? channel + kNumChannels : channel;
    return noteExpressionTypes.getNoteExpressionInfo(position, info);
}

namespace {

// A channel answers only for its own two types.
bool isChannelType(int16 channel, NoteExpressionTypeID id)
{
    const auto ch = static_cast<NoteExpressionTypeID>(channel);
    return id == kPanNoteExpressionBase + ch || id == kVolumeNoteExpressionBase + ch;
}

} // namespace

tresult PLUGIN_API Controller::getNoteExpressionStringByValue(int32 busIndex, int16 channel,
                                                              NoteExpressionTypeID id,
                                                              NoteExpressionValue valueNormalized,
                                                              String128 string)
{
    if (!isEventChannel(busIndex, channel) || !isChannelType(channel, id))
        return kResultFalse;
    return noteExpressionTypes.getNoteExpressionStringByValue(id, valueNormalized, string);
}

tresult PLUGIN_API Controller::getNoteExpressionValueByString(int32 busIndex, int16 channel,
                                                              NoteExpressionTypeID id, const TChar* string,
                                                              NoteExpressionValue& valueNormalized)
{
    if (!isEventChannel(busIndex, channel) || !isChannelType(channel, id))
        return kResultFalse;
    return noteExpressionTypes.getNoteExpressionValueByString(id, string, valueNormalized);
}

tresult PLUGIN_API Controller::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                           CtrlNumber midiControllerNumber, ParamID& id)
{
    if (!isEventChannel(busIndex, channel) || midiControllerNumber < 0 ||
        midiControllerNumber >= kNumMidiControllers)
        return kResultFalse;
    const ParamID assigned =
        midiControllerTable[static_cast<size_t>(channel)][static_cast<size_t>(midiControllerNumber)];
    if (assigned == kNoParamId)
        return kResultFalse;
    id = assigned;
    return kResultOk;
}

} // namespace Steinberg::Vst::TaviroPlugIn
