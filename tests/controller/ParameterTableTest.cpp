// The 786 parameters as a host lists them, index by index, against the published table.
#include "ControllerFixture.h"

#include <cmath>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::ascii;
using Taviro::Test::unitOf;

namespace {

struct Row
{
    ParamID id;
    std::string title;
    std::string units;
    int32 steps;
    double defaultValue;
    int32 flags;
    UnitID unit;
    int32 precision;
    std::string className;
};

constexpr int32 kDefaultPrecision = 4;

std::string programListName(int32 ch)
{
    return ch == 9 ? "Drum Program List MIDI channel 10"
                   : "Instrument Program List MIDI channel " + std::to_string(ch + 1);
}

// One channel parameter as the table describes it; k is the offset within the channel.
Row channelRow(int32 ch, int32 k)
{
    const ParamID id = static_cast<ParamID>(49 * ch + k);
    const UnitID unit = unitOf(ch);
    const double shortestTime = 0.02 / 4.995; // 0.025 s on 0.005..5 s
    if (k < 42)
    {
        const int32 o = k / 14;
        const std::string n = std::to_string(o + 1);
        switch (k % 14)
        {
        case 0:
            return {id, "OSC " + n + " Type", "", 6, 0, 9, unit, kDefaultPrecision, "StringListParameter"};
        case 1:
            return {id,
                    "OSC " + n + " Multi Sample",
                    "",
                    7,
                    0,
                    9,
                    unit,
                    kDefaultPrecision,
                    "StringListParameter"};
        case 2:
            return {id, "OSC " + n + " Volume", "%", 0, o == 1 ? 0.2 : 0.8, 1, unit, 1, "RangeParameter"};
        case 3:
            return {id, "OSC " + n + " Detune", "cent", 0, 0.5, 1, unit, 0, "RangeParameter"};
        case 4:
            return {id, "OSC " + n + " Retard Time", "sec", 0, 0, 1, unit, 3, "RangeParameter"};
        case 5:
            return {id, "Filter Type OSC " + n, "", 3, 0, 9, unit, kDefaultPrecision, "StringListParameter"};
        case 6:
            return {id, "Filter Frequency OSC " + n, "", 0, 0, 1, unit, 1, "LogScaleParameter<T>"};
        case 7:
            return {id, "Filter Resonance OSC " + n, "", 0, 0, 1, unit, 2, "Parameter"};
        case 8:
            return {id, "OSC " + n + " Octave", "", 16, 0, 9, unit, kDefaultPrecision, "StringListParameter"};
        case 9:
            return {id, "Attack Time OSC " + n, "sec", 0, shortestTime, 1, unit, 3, "RangeParameter"};
        case 10:
            return {id, "Decay Time OSC " + n, "sec", 0, 0, 1, unit, 3, "RangeParameter"};
        case 11:
            return {id, "Sustain Level OSC " + n, "%", 0, 0.3, 1, unit, 1, "RangeParameter"};
        case 12:
            return {id, "Sustain Time OSC " + n, "sec", 0, 0, 1, unit, 3, "RangeParameter"};
        default:
            return {id, "Release Time OSC " + n, "sec", 0, shortestTime, 1, unit, 3, "RangeParameter"};
        }
    }
    switch (k)
    {
    case 42:
        return {id, "Volume", "%", 0, 0.8, 1, unit, 1, "RangeParameter"};
    case 43:
        return {id, "Mod Wheel", "", 0, 0, 1, unit, kDefaultPrecision, "Parameter"};
    case 44:
        return {id, "Pitch Bend", "", 0, 0.5, 1, unit, kDefaultPrecision, "Parameter"};
    case 45:
        return {id, "Receive Note off", "", 1, 1.0, 1, unit, kDefaultPrecision, "Parameter"};
    case 46:
        return {id,
                programListName(ch),
                "",
                ch == 9 ? 0 : 18,
                0,
                0x8009,
                unit,
                kDefaultPrecision,
                "StringListParameter"};
    case 47:
        return {id, "Main volume", "", 0, 0.787, 1, unit, kDefaultPrecision, "Parameter"};
    default:
        return {id, "Panorama", "", 0, 0.5, 1, unit, kDefaultPrecision, "Parameter"};
    }
}

std::vector<Row> expectedTable()
{
    std::vector<Row> rows;
    for (int32 ch : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 9})
        rows.push_back(channelRow(ch, 46));
    const int32 channelOrder[] = {42, 9,  10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40, 41,
                                  2,  16, 30, 3,  17, 31, 4,  18, 32, 5,  19, 33, 0,  14, 28, 6,
                                  7,  20, 21, 34, 35, 8,  22, 36, 43, 44, 47, 48, 45, 1,  15, 29};
    for (int32 ch = 0; ch < 16; ++ch)
        for (int32 k : channelOrder)
            rows.push_back(channelRow(ch, k));
    rows.push_back({784, "Used Voices (of 128)", "", 128, 0, 2, 0, kDefaultPrecision, "RangeParameter"});
    rows.push_back({785, "Editor MIDI Channel", "", 15, 0, 8, 0, kDefaultPrecision, "StringListParameter"});
    return rows;
}

} // namespace

class ParameterTable : public Taviro::Test::ControllerTest
{
};

TEST_F(ParameterTable, EveryParameterInRegistrationOrderMatchesTheTable)
{
    const std::vector<Row> expected = expectedTable();
    ASSERT_EQ(expected.size(), 786u);
    ASSERT_EQ(controller->getParameterCount(), 786);

    for (int32 index = 0; index < 786; ++index)
    {
        SCOPED_TRACE("index " + std::to_string(index));
        const Row& row = expected[static_cast<size_t>(index)];
        const ParameterInfo info = infoAt(index);
        EXPECT_EQ(info.id, row.id);
        EXPECT_EQ(ascii(info.title), row.title);
        EXPECT_EQ(ascii(info.shortTitle), "");
        EXPECT_EQ(ascii(info.units), row.units);
        EXPECT_EQ(info.stepCount, row.steps);
        EXPECT_NEAR(info.defaultNormalizedValue, row.defaultValue, 1e-12);
        EXPECT_EQ(info.flags, row.flags);
        EXPECT_EQ(info.unitId, row.unit);

        Parameter* parameter = controller->getParameterObject(row.id);
        ASSERT_NE(parameter, nullptr);
        EXPECT_EQ(parameter->getPrecision(), row.precision);
        EXPECT_STREQ(parameter->isA(), row.className.c_str());
        // A fresh controller shows every default.
        EXPECT_EQ(controller->getParamNormalized(row.id), info.defaultNormalizedValue);
    }
}

TEST_F(ParameterTable, NoIdentifierAbove785AndUnitsSpellChAndTheChannelDigits)
{
    EXPECT_EQ(controller->getParameterObject(786), nullptr);
    EXPECT_EQ(controller->setParamNormalized(786, 0.5), kResultFalse);
    EXPECT_EQ(controller->getParameterObject(0)->getInfo().unitId, 0x63683030);
    EXPECT_EQ(controller->getParameterObject(9 * 49)->getInfo().unitId, 0x63683039);
    EXPECT_EQ(controller->getParameterObject(10 * 49)->getInfo().unitId, 0x63683130);
    EXPECT_EQ(controller->getParameterObject(783)->getInfo().unitId, 0x63683135);
}

TEST(ControllerLifecycle, TerminateEmptiesTheControllerAndASecondInitializeBuildsNothing)
{
    HostApplication host; // the SDK's host context is not reference counted
    auto controller = owned(new Steinberg::Vst::TaviroPlugIn::ControllerWithUI());
    ASSERT_EQ(controller->initialize(&host), kResultOk);
    // Already initialised: answers success and adds nothing twice.
    EXPECT_EQ(controller->initialize(&host), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 786);
    EXPECT_EQ(controller->getUnitCount(), 17);

    EXPECT_EQ(controller->terminate(), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 0);
    EXPECT_EQ(controller->getUnitCount(), 0);
    EXPECT_EQ(controller->getProgramListCount(), 0);
    NoteExpressionTypeInfo info{};
    EXPECT_EQ(controller->getNoteExpressionInfo(0, 0, 0, info), kResultFalse);
}
