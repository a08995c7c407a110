// The unit tree, the program lists with their names and drum pitch names, and the unit of each
// event channel.
#include "ControllerFixture.h"

#include "pluginterfaces/vst/ivstcomponent.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::ascii;
using Taviro::Test::unitOf;

namespace {

const char* const kProgramNames[19] = {"Piano Cologne",
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
                                       "USER 4"};

} // namespace

class UnitsAndProgramLists : public Taviro::Test::ControllerTest
{
};

TEST_F(UnitsAndProgramLists, RootThenOneUnitPerChannel)
{
    ASSERT_EQ(controller->getUnitCount(), 17);
    UnitInfo root{};
    ASSERT_EQ(controller->getUnitInfo(0, root), kResultOk);
    EXPECT_EQ(root.id, 0);
    EXPECT_EQ(root.parentUnitId, -1);
    EXPECT_EQ(root.programListId, -1);
    EXPECT_EQ(ascii(root.name), "Root");

    for (int32 ch = 0; ch < 16; ++ch)
    {
        SCOPED_TRACE(ch);
        UnitInfo unit{};
        ASSERT_EQ(controller->getUnitInfo(ch + 1, unit), kResultOk);
        EXPECT_EQ(unit.id, unitOf(ch));
        EXPECT_EQ(unit.parentUnitId, 0);
        EXPECT_EQ(unit.programListId, 49 * ch + 46);
        EXPECT_EQ(ascii(unit.name), "MIDI Channel " + std::to_string(ch + 1));
    }
    UnitInfo none{};
    EXPECT_EQ(controller->getUnitInfo(17, none), kResultFalse);
    EXPECT_EQ(controller->getSelectedUnit(), 0);
}

TEST_F(UnitsAndProgramLists, InstrumentListsThenTheDrumList)
{
    ASSERT_EQ(controller->getProgramListCount(), 16);
    const int32 channelOrder[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 9};
    for (int32 index = 0; index < 16; ++index)
    {
        SCOPED_TRACE(index);
        const int32 ch = channelOrder[index];
        ProgramListInfo info{};
        ASSERT_EQ(controller->getProgramListInfo(index, info), kResultOk);
        EXPECT_EQ(info.id, 49 * ch + 46);
        if (ch == 9)
        {
            EXPECT_EQ(ascii(info.name), "Drum Program List MIDI channel 10");
            EXPECT_EQ(info.programCount, 1);
        }
        else
        {
            EXPECT_EQ(ascii(info.name), "Instrument Program List MIDI channel " + std::to_string(ch + 1));
            EXPECT_EQ(info.programCount, 19);
        }
    }
    ProgramListInfo channel11{};
    ASSERT_EQ(controller->getProgramListInfo(9, channel11), kResultOk);
    EXPECT_EQ(channel11.id, 536);
}

TEST_F(UnitsAndProgramLists, ProgramNamesAreTheSameOnEveryInstrumentChannel)
{
    for (int32 ch : {0, 8, 10, 15})
    {
        for (int32 program = 0; program < 19; ++program)
        {
            String128 name{};
            ASSERT_EQ(controller->getProgramName(49 * ch + 46, program, name), kResultOk);
            EXPECT_EQ(ascii(name), kProgramNames[program]) << "channel " << ch << " program " << program;
            String128 attribute{};
            EXPECT_EQ(controller->getProgramInfo(49 * ch + 46, program, "name", attribute), kResultFalse);
        }
        String128 name{};
        EXPECT_EQ(controller->getProgramName(49 * ch + 46, 19, name), kResultFalse);
    }
    String128 drums{};
    ASSERT_EQ(controller->getProgramName(487, 0, drums), kResultOk);
    EXPECT_EQ(ascii(drums), "Drums");
    EXPECT_EQ(controller->getProgramName(47, 0, drums), kResultFalse); // not a list
}

TEST_F(UnitsAndProgramLists, OnlyTheDrumProgramNamesItsKeys)
{
    EXPECT_EQ(controller->hasProgramPitchNames(487, 0), kResultTrue);
    EXPECT_EQ(controller->hasProgramPitchNames(487, 1), kResultFalse);
    EXPECT_EQ(controller->hasProgramPitchNames(46, 0), kResultFalse);

    const struct
    {
        int16 key;
        const char* name;
    } named[] = {{36, "Kick Drum"},    {38, "Snare Drum"},  {42, "Closed Hi-Hat"}, {43, "Low Tom"},
                 {44, "Pedal Hi-Hat"}, {46, "Open Hi-Hat"}, {47, "Mid Tom"},       {49, "Crash Cymbal"},
                 {50, "Hi Tom"},       {51, "Ride Cymbal"}, {53, "Ride Bell"}};
    int32 namedKeys = 0;
    for (int16 key = 0; key < 128; ++key)
    {
        String128 name{};
        if (controller->getProgramPitchName(487, 0, key, name) == kResultOk)
        {
            ++namedKeys;
            const auto* entry = std::find_if(std::begin(named), std::end(named),
                                             [key](const auto& n) { return n.key == key; });
            ASSERT_NE(entry, std::end(named)) << "key " << key << " should have no name";
            EXPECT_EQ(ascii(name), entry->name);
        }
    }
    EXPECT_EQ(namedKeys, 11);
    String128 name{};
    EXPECT_EQ(controller->getProgramPitchName(487, 0, 37, name), kResultFalse);
    EXPECT_EQ(controller->getProgramPitchName(46, 0, 36, name), kResultFalse);
}

TEST_F(UnitsAndProgramLists, ProgramChangeParametersComeFromTheLists)
{
    EXPECT_EQ(text(487, 0.0), "Drums");
    EXPECT_EQ(text(487, 1.0), "Drums");
    EXPECT_EQ(text(46, 1.0), "USER 4");
    EXPECT_EQ(text(781, 0.0), "Piano Cologne");
    EXPECT_EQ(controller->getParameterObject(487)->getInfo().stepCount, 0);
}

TEST_F(UnitsAndProgramLists, EventChannelsMapToTheirUnitsAndNothingElseDoes)
{
    for (int32 ch = 0; ch < 16; ++ch)
    {
        UnitID unit = -7;
        ASSERT_EQ(controller->getUnitByBus(kEvent, kInput, 0, ch, unit), kResultOk);
        EXPECT_EQ(unit, unitOf(ch));
    }
    UnitID unit = -7;
    ASSERT_EQ(controller->getUnitByBus(kEvent, kInput, 0, 9, unit), kResultOk);
    EXPECT_EQ(unit, 0x63683039);

    unit = -7;
    EXPECT_EQ(controller->getUnitByBus(kEvent, kInput, 0, 16, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kEvent, kInput, 0, -1, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kEvent, kInput, 1, 0, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kEvent, kOutput, 0, 0, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kAudio, kOutput, 0, 0, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kAudio, kOutput, 3, 1, unit), kResultFalse);
    EXPECT_EQ(unit, -7);

    EXPECT_EQ(controller->setUnitProgramData(46, 0, nullptr), kResultFalse);
}
