#pragma once

#include "MidiControllerTable.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstnoteexpression.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "public.sdk/source/vst/vstnoteexpressiontypes.h"

namespace Steinberg::Vst::TaviroPlugIn {

// The edit controller: publishes the parameters, units, program lists, note expression types and
// MIDI controller mapping, and mirrors the processor's stored sound settings. It persists
// nothing of its own.
class Controller : public EditControllerEx1, public INoteExpressionController, public IMidiMapping
{
public:
    // IPluginBase
    tresult PLUGIN_API initialize(FUnknown* context) override;
    tresult PLUGIN_API terminate() override;

    // IEditController
    tresult PLUGIN_API setComponentState(IBStream* state) override;
    tresult PLUGIN_API setParamNormalized(ParamID tag, ParamValue value) override;
    // Guards around the SDK's answers, which would throw into the host for an index outside the
    // parameter list, a value outside 0..1 or a missing text.
    tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
    tresult PLUGIN_API getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                             String128 string) override;
    tresult PLUGIN_API getParamValueByString(ParamID tag, TChar* string,
                                             ParamValue& valueNormalized) override;

    // IUnitInfo
    tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) override; // guarded like getParameterInfo
    tresult PLUGIN_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                    UnitID& unitId) override;

    // INoteExpressionController
    int32 PLUGIN_API getNoteExpressionCount(int32 busIndex, int16 channel) override;
    tresult PLUGIN_API getNoteExpressionInfo(int32 busIndex, int16 channel, int32 noteExpressionIndex,
                                             NoteExpressionTypeInfo& info) override;
    tresult PLUGIN_API getNoteExpressionStringByValue(int32 busIndex, int16 channel, NoteExpressionTypeID id,
                                                      NoteExpressionValue valueNormalized,
                                                      String128 string) override;
    tresult PLUGIN_API getNoteExpressionValueByString(int32 busIndex, int16 channel, NoteExpressionTypeID id,
                                                      const TChar* string,
                                                      NoteExpressionValue& valueNormalized) override;

    // IMidiMapping
    tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                   CtrlNumber midiControllerNumber, ParamID& id) override;

    OBJ_METHODS(Controller, EditControllerEx1)
    DEFINE_INTERFACES
    DEF_INTERFACE(INoteExpressionController)
    DEF_INTERFACE(IMidiMapping)
    DEF_INTERFACE(IUnitInfo)
    END_DEFINE_INTERFACES(EditControllerEx1)
    REFCOUNT_METHODS(EditControllerEx1)

protected:
    NoteExpressionTypeContainer noteExpressionTypes;
    MidiControllerTable midiControllerTable{};

private:
    // The event input bus and one of its 16 channels: the only place notes and controllers arrive.
    static bool isEventChannel(int32 busIndex, int32 channel);
    // Sets every parameter the state stream carries from the read state, in a fixed order.
    void applyComponentState(const GlobalParameterState& state);
};

} // namespace Steinberg::Vst::TaviroPlugIn
