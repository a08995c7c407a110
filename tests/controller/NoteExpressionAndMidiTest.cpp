// Per-note volume and pan of each channel, and the MIDI controllers mapped onto parameters.
#include "ControllerFixture.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "source/controller/PanNoteExpressionType.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::ascii;
using Taviro::Test::utf16;

namespace {

UnitID unitOf(int32 ch)
{
    return ('c' << 24) | ('h' << 16) | (('0' + ch / 10) << 8) | ('0' + ch % 10);
}

} // namespace

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

TEST_F(NoteExpression, InfosOfVolumeAndPan)
{
    for (int16 ch = 0; ch < 16; ++ch)
    {
        SCOPED_TRACE(ch);
        NoteExpressionTypeInfo volume{};
        ASSERT_EQ(controller->getNoteExpressionInfo(0, ch, 0, volume), kResultOk);
        EXPECT_EQ(volume.typeId, 100016u + ch);
        EXPECT_EQ(ascii(volume.title), "Volume MIDI channel " + std::to_string(ch + 1));
        EXPECT_EQ(ascii(volume.shortTitle), "Vol");
        EXPECT_EQ(ascii(volume.units), "");
        EXPECT_EQ(volume.unitId, unitOf(ch));
        EXPECT_EQ(volume.valueDesc.defaultValue, 1.0);
        EXPECT_EQ(volume.valueDesc.minimum, 0.0);
        EXPECT_EQ(volume.valueDesc.maximum, 1.0);
        EXPECT_EQ(volume.valueDesc.stepCount, 0);
        EXPECT_EQ(volume.flags, 0);

        NoteExpressionTypeInfo pan{};
        ASSERT_EQ(controller->getNoteExpressionInfo(0, ch, 1, pan), kResultOk);
        EXPECT_EQ(pan.typeId, 100000u + ch);
        EXPECT_EQ(ascii(pan.title), "Pan MIDI channel " + std::to_string(ch + 1));
        EXPECT_EQ(ascii(pan.shortTitle), "Pan");
        EXPECT_EQ(ascii(pan.units), "");
        EXPECT_EQ(pan.unitId, unitOf(ch));
        EXPECT_EQ(pan.valueDesc.defaultValue, 0.5);
        EXPECT_EQ(pan.valueDesc.minimum, 0.0);
        EXPECT_EQ(pan.valueDesc.maximum, 1.0);
        EXPECT_EQ(pan.valueDesc.stepCount, 0);
        EXPECT_EQ(pan.flags, NoteExpressionTypeInfo::kIsBipolar | NoteExpressionTypeInfo::kIsAbsolute);
    }

    NoteExpressionTypeInfo info{};
    ASSERT_EQ(controller->getNoteExpressionInfo(0, 3, 1, info), kResultOk);
    EXPECT_EQ(info.typeId, 100003u);
    EXPECT_EQ(ascii(info.title), "Pan MIDI channel 4");
    // Any index other than 1 answers with the volume.
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

TEST(PanNoteExpressionTypeClass, NameAndBase)
{
    Steinberg::Vst::TaviroPlugIn::PanNoteExpressionType pan(100000, u"Pan", 0);
    EXPECT_STREQ(pan.isA(), "PanNoteExpressionType");
    EXPECT_TRUE(pan.isTypeOf("RangeNoteExpressionType"));
    EXPECT_TRUE(pan.isTypeOf("NoteExpressionType"));
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
            case 1: expected = 49 * ch + 43; break;   // modulation wheel
            case 7: expected = 49 * ch + 47; break;   // channel volume
            case 10: expected = 49 * ch + 48; break;  // pan
            case 129: expected = 49 * ch + 44; break; // pitch bend
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

TEST_F(MidiMapping, EdgesOfTheTable)
{
    ParamID id = 0;
    ASSERT_EQ(assignment(0, 9, 1, id), kResultOk);
    EXPECT_EQ(id, 484u);
    ASSERT_EQ(assignment(0, 9, ControllerNumbers::kPitchBend, id), kResultOk);
    EXPECT_EQ(id, 485u);
    ASSERT_EQ(assignment(0, 0, 7, id), kResultOk);
    EXPECT_EQ(id, 47u);
    ASSERT_EQ(assignment(0, 0, 10, id), kResultOk);
    EXPECT_EQ(id, 48u);

    EXPECT_EQ(assignment(0, 0, 64, id), kResultFalse);
    EXPECT_EQ(assignment(0, 0, ControllerNumbers::kAfterTouch, id), kResultFalse);
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
    EXPECT_EQ(controller->createView("editor"), nullptr);
}
