// Per-note volume and pan of each channel, and the MIDI controllers mapped onto parameters.
#include "ControllerFixture.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::ascii;
using Taviro::Test::unitOf;
using Taviro::Test::utf16;

class NoteExpression : public Taviro::Test::ControllerTest
{
protected:
    std::string valueText(int16 channel, NoteExpressionTypeID id, double value)
    {
        String128 string{};
        EXPECT_EQ(controller->getNoteExpressionStringByValue(0, channel, id, value, string), kResultOk);
        return ascii(string);
    }

    tresult parse(int16 channel, NoteExpressionTypeID id, const std::string& input, double& value)
    {
        const std::u16string text = utf16(input);
        return controller->getNoteExpressionValueByString(0, channel, id, text.c_str(), value);
    }
};

TEST_F(NoteExpression, TwoTypesOnEachEventChannel)
{
    EXPECT_EQ(controller->getNoteExpressionCount(0, 0), 2);
    EXPECT_EQ(controller->getNoteExpressionCount(0, 15), 2);
    EXPECT_EQ(controller->getNoteExpressionCount(0, 16), 0);
    EXPECT_EQ(controller->getNoteExpressionCount(0, -1), 0);
    EXPECT_EQ(controller->getNoteExpressionCount(1, 0), 0);
}

namespace {

struct ExpectedInfo
{
    NoteExpressionTypeID typeId;
    std::string title;
    std::string shortTitle;
    double defaultValue;
    int32 flags;
};

void expectInfo(const NoteExpressionTypeInfo& info, const ExpectedInfo& expected, int32 ch)
{
    EXPECT_EQ(info.typeId, expected.typeId);
    EXPECT_EQ(ascii(info.title), expected.title);
    EXPECT_EQ(ascii(info.shortTitle), expected.shortTitle);
    EXPECT_EQ(ascii(info.units), "");
    EXPECT_EQ(info.unitId, unitOf(ch));
    EXPECT_EQ(info.valueDesc.defaultValue, expected.defaultValue);
    EXPECT_EQ(info.valueDesc.minimum, 0.0);
    EXPECT_EQ(info.valueDesc.maximum, 1.0);
    EXPECT_EQ(info.valueDesc.stepCount, 0);
    EXPECT_EQ(info.flags, expected.flags);
}

} // namespace

TEST_F(NoteExpression, InfosOfVolumeAndPan)
{
    const int32 bipolarAbsolute = NoteExpressionTypeInfo::kIsBipolar | NoteExpressionTypeInfo::kIsAbsolute;
    for (int16 ch = 0; ch < 16; ++ch)
    {
        SCOPED_TRACE(ch);
        const std::string midiChannel = " MIDI channel " + std::to_string(ch + 1);
        NoteExpressionTypeInfo info{};
        ASSERT_EQ(controller->getNoteExpressionInfo(0, ch, 0, info), kResultOk);
        expectInfo(info, {100016u + ch, "Volume" + midiChannel, "Vol", 1.0, 0}, ch);
        ASSERT_EQ(controller->getNoteExpressionInfo(0, ch, 1, info), kResultOk);
        expectInfo(info, {100000u + ch, "Pan" + midiChannel, "Pan", 0.5, bipolarAbsolute}, ch);
    }

    // Any index other than 1 answers with the volume.
    NoteExpressionTypeInfo info{};
    ASSERT_EQ(controller->getNoteExpressionInfo(0, 3, 7, info), kResultOk);
    EXPECT_EQ(info.typeId, 100019u);
    EXPECT_EQ(ascii(info.title), "Volume MIDI channel 4");

    EXPECT_EQ(controller->getNoteExpressionInfo(1, 3, 0, info), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionInfo(0, 16, 0, info), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionInfo(0, -1, 1, info), kResultFalse);
}

TEST_F(NoteExpression, PanTexts)
{
    EXPECT_EQ(valueText(2, 100002, 0.5), "C");
    EXPECT_EQ(valueText(2, 100002, 0.0), "L");
    EXPECT_EQ(valueText(2, 100002, 1.0), "R");
    EXPECT_EQ(valueText(2, 100002, 0.25), "-50");
    EXPECT_EQ(valueText(2, 100002, 0.75), "50");
    EXPECT_EQ(valueText(2, 100002, 0.999), "100");

    double value = -1;
    ASSERT_EQ(parse(2, 100002, "R", value), kResultOk);
    EXPECT_EQ(value, 1.0);
    ASSERT_EQ(parse(2, 100002, "L", value), kResultOk);
    EXPECT_EQ(value, 0.0);
    ASSERT_EQ(parse(2, 100002, "C", value), kResultOk);
    EXPECT_EQ(value, 0.5);
    ASSERT_EQ(parse(2, 100002, "-50", value), kResultOk);
    EXPECT_DOUBLE_EQ(value, 0.25);
    ASSERT_EQ(parse(2, 100002, "100", value), kResultOk);
    EXPECT_DOUBLE_EQ(value, 1.0);

    // Lower case is not a position name and no number either.
    value = 0.3;
    EXPECT_EQ(parse(2, 100002, "r", value), kResultFalse);
    EXPECT_EQ(parse(2, 100002, "Right", value), kResultFalse);
    EXPECT_EQ(parse(2, 100002, "150", value), kResultFalse);
    EXPECT_EQ(parse(2, 100002, "-100.5", value), kResultFalse);
    EXPECT_EQ(value, 0.3);
}

TEST_F(NoteExpression, VolumeTextsShowTheNormalisedValue)
{
    EXPECT_EQ(valueText(5, 100021, 0.5), "0.5000");
    EXPECT_EQ(valueText(5, 100021, 1.0), "1.0000");
    EXPECT_EQ(valueText(5, 100021, 0.12345), "0.1235");

    double value = -1;
    ASSERT_EQ(parse(5, 100021, "0.25", value), kResultOk);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(parse(5, 100021, "quiet", value), kResultFalse);
    EXPECT_EQ(parse(5, 100021, "1.5", value), kResultFalse);
    EXPECT_EQ(value, 0.25);
}

TEST_F(NoteExpression, AChannelAnswersOnlyForItsOwnTypes)
{
    String128 string{};
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 2, 100000, 0.5, string), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 2, 100016, 0.5, string), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 2, 100018, 0.5, string), kResultOk);
    EXPECT_EQ(controller->getNoteExpressionStringByValue(1, 2, 100002, 0.5, string), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 16, 100016, 0.5, string), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 0, 0, 0.5, string), kResultFalse);

    double value = 0;
    const std::u16string c = utf16("C");
    EXPECT_EQ(controller->getNoteExpressionValueByString(0, 2, 100000, c.c_str(), value), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionValueByString(1, 2, 100002, c.c_str(), value), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionValueByString(0, 2, 100002, c.c_str(), value), kResultOk);
}

class MidiMapping : public Taviro::Test::ControllerTest
{
protected:
    tresult assignment(int32 bus, int16 channel, CtrlNumber controllerNumber, ParamID& id)
    {
        return controller->getMidiControllerAssignment(bus, channel, controllerNumber, id);
    }
};

TEST_F(MidiMapping, FourControllersPerChannel)
{
    for (int16 ch = 0; ch < 16; ++ch)
    {
        for (CtrlNumber number = 0; number < 130; ++number)
        {
            ParamID id = 12345;
            const tresult result = assignment(0, ch, number, id);
            ParamID expected = kNoParamId;
            switch (number)
            {
            case 1:
                expected = 49 * ch + 43;
                break; // modulation wheel
            case 7:
                expected = 49 * ch + 47;
                break; // channel volume
            case 10:
                expected = 49 * ch + 48;
                break; // pan
            case 129:
                expected = 49 * ch + 44;
                break; // pitch bend
            }
            if (expected == kNoParamId)
            {
                EXPECT_EQ(result, kResultFalse) << "channel " << ch << " controller " << number;
                EXPECT_EQ(id, 12345u);
            }
            else
            {
                EXPECT_EQ(result, kResultOk) << "channel " << ch << " controller " << number;
                EXPECT_EQ(id, expected);
            }
        }
    }
}

TEST_F(MidiMapping, NothingOutsideTheEventChannelsAndControllerNumbers)
{
    ParamID id = 0;
    EXPECT_EQ(assignment(0, 0, 130, id), kResultFalse);
    EXPECT_EQ(assignment(0, 0, -1, id), kResultFalse);
    EXPECT_EQ(assignment(1, 0, 1, id), kResultFalse);
    EXPECT_EQ(assignment(0, 16, 1, id), kResultFalse);
    EXPECT_EQ(assignment(0, -1, 1, id), kResultFalse);
}

TEST_F(MidiMapping, InterfacesAnswerThroughQueryInterface)
{
    IEditController* editController = controller;
    FUnknownPtr<IMidiMapping> midi(editController);
    FUnknownPtr<INoteExpressionController> noteExpression(editController);
    FUnknownPtr<IUnitInfo> units(editController);
    ASSERT_TRUE(midi);
    ASSERT_TRUE(noteExpression);
    ASSERT_TRUE(units);
    ParamID id = 0;
    EXPECT_EQ(midi->getMidiControllerAssignment(0, 2, 10, id), kResultOk);
    EXPECT_EQ(id, 49u * 2 + 48);
    EXPECT_EQ(noteExpression->getNoteExpressionCount(0, 2), 2);
    EXPECT_EQ(units->getUnitCount(), 17);

    FUnknownPtr<IEditController2> editController2(editController);
    EXPECT_TRUE(editController2);
    FUnknownPtr<IKeyswitchController> keyswitches(editController);
    EXPECT_FALSE(keyswitches);
    EXPECT_STREQ(controller->isA(), "ControllerWithUI");
    for (const char* base : {"Controller", "EditControllerEx1", "EditController", "ComponentBase", "FObject"})
        EXPECT_TRUE(controller->isTypeOf(base)) << base;
    EXPECT_EQ(controller->createView("Editor"), nullptr);
}
