#include "UnitsAndProgramLists.h"

#include "ControllerIds.h"
#include "Utf16.h"
#include "source/ParameterIds.h"
#include "source/state/GlobalParameterState.h"

#include <string>

namespace Steinberg::Vst::TaviroPlugIn {
namespace {

// Factory programs 0..14, then the four user programs the processor keeps in its state.
constexpr const char* kInstrumentProgramNames[] = {
    "Piano Cologne",
    "E-Guitar clean surf green",
    "Le Mont-Saint-Michel",
    "European Disco SAW",
    "Chinese pipa",
    "Synth Bass",
    "Synth Clarinet",
    "Synth Strings",
    "Seashore",
    "Synth Trumpet",
    "Synth Accordion",
    "Warm Pad",
    "Flute",
    "Pizzicato",
    "Muted E-Guitar",
    "USER 1",
    "USER 2",
    "USER 3",
    "USER 4",
};

struct PitchName
{
    int16 key;
    const char* name;
};

// The keys of the drum kit, ascending.
constexpr PitchName kDrumPitchNames[] = {
    {36, "Kick Drum"},    {38, "Snare Drum"},  {42, "Closed Hi-Hat"}, {43, "Low Tom"},
    {44, "Pedal Hi-Hat"}, {46, "Open Hi-Hat"}, {47, "Mid Tom"},       {49, "Crash Cymbal"},
    {50, "Hi Tom"},       {51, "Ride Cymbal"}, {53, "Ride Bell"},
};

ProgramListID programListId(int32 channel)
{
    return static_cast<ProgramListID>(channelParameterId(channel, kProgramChange));
}

void addWithParameter(EditControllerEx1& controller, ParameterContainer& parameters, ProgramList* list)
{
    controller.addProgramList(list);
    parameters.addParameter(list->getParameter());
}

} // namespace

void addUnits(EditControllerEx1& controller)
{
    controller.addUnit(new Unit(STR16("Root"), kRootUnitId, kNoParentUnitId, kNoProgramListId));
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        const auto name = utf16("MIDI Channel " + std::to_string(ch + 1));
        controller.addUnit(new Unit(name.c_str(), channelUnitId(ch), kRootUnitId, programListId(ch)));
    }
}

void addProgramLists(EditControllerEx1& controller, ParameterContainer& parameters)
{
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        if (ch == kDrumChannel)
            continue;
        const auto name = utf16("Instrument Program List MIDI channel " + std::to_string(ch + 1));
        auto* list = new ProgramList(name.c_str(), programListId(ch), channelUnitId(ch));
        for (const char* program : kInstrumentProgramNames)
            list->addProgram(utf16(program).c_str());
        addWithParameter(controller, parameters, list);
    }

    auto* drums = new ProgramListWithPitchNames(STR16("Drum Program List MIDI channel 10"),
                                                programListId(kDrumChannel), channelUnitId(kDrumChannel));
    const int32 program = drums->addProgram(STR16("Drums"));
    for (const PitchName& pitch : kDrumPitchNames)
        drums->setPitchName(program, pitch.key, utf16(pitch.name).c_str());
    addWithParameter(controller, parameters, drums);
}

} // namespace Steinberg::Vst::TaviroPlugIn
