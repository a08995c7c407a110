// What the controller tells a host: the parameter table, value texts and parsing, units and program
// lists, note expression types and MIDI controllers; and how it follows the processor's state.
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "source/controller/ControllerWithUI.h"
#include "source/state/InstrumentPrograms.h"
#include "tests/support/ByteStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

// UTF-16 text from the SDK as plain ASCII, for readable comparisons.
std::string ascii(const TChar* text)
{
    return text ? std::string(text, text + tstrlen(text)) : "";
}

// The unit of channel index ch: the characters "c", "h" and the two digits of ch.
UnitID unitOf(int32 ch)
{
    return ('c' << 24) | ('h' << 16) | (('0' + ch / 10) << 8) | ('0' + ch % 10);
}

// clang-format off
struct Row { ParamID id; std::string title; std::string units; int32 steps; double defaultValue; int32 flags;
             UnitID unit; int32 precision; };

// Offsets 0..13 of a channel (OSC 1; "#" is the oscillator number), then offsets 42..48. The
// attack and release times default to 0.025 s on 0.005..5 s.
const Row kChannelPattern[] = {
    {0, "OSC # Type", "", 6, 0, 9, 0, 4}, {1, "OSC # Multi Sample", "", 7, 0, 9, 0, 4},
    {2, "OSC # Volume", "%", 0, 0.8, 1, 0, 1}, {3, "OSC # Detune", "cent", 0, 0.5, 1, 0, 0},
    {4, "OSC # Retard Time", "sec", 0, 0, 1, 0, 3}, {5, "Filter Type OSC #", "", 3, 0, 9, 0, 4},
    {6, "Filter Frequency OSC #", "", 0, 0, 1, 0, 1}, {7, "Filter Resonance OSC #", "", 0, 0, 1, 0, 2},
    {8, "OSC # Octave", "", 16, 0, 9, 0, 4}, {9, "Attack Time OSC #", "sec", 0, 0.02 / 4.995, 1, 0, 3},
    {10, "Decay Time OSC #", "sec", 0, 0, 1, 0, 3}, {11, "Sustain Level OSC #", "%", 0, 0.3, 1, 0, 1},
    {12, "Sustain Time OSC #", "sec", 0, 0, 1, 0, 3},
    {13, "Release Time OSC #", "sec", 0, 0.02 / 4.995, 1, 0, 3},
    {42, "Volume", "%", 0, 0.8, 1, 0, 1}, {43, "Mod Wheel", "", 0, 0, 1, 0, 4},
    {44, "Pitch Bend", "", 0, 0.5, 1, 0, 4}, {45, "Receive Note off", "", 1, 1.0, 1, 0, 4},
    {46, "Instrument Program List MIDI channel ", "", 18, 0, 0x8009, 0, 4},
    {47, "Main volume", "", 0, 0.787, 1, 0, 4}, {48, "Panorama", "", 0, 0.5, 1, 0, 4}};
// clang-format on

// The order in which a channel registers its parameters other than the program change.
const int32 kChannelOrder[] = {42, 9,  10, 11, 12, 13, 23, 24, 25, 26, 27, 37, 38, 39, 40, 41,
                               2,  16, 30, 3,  17, 31, 4,  18, 32, 5,  19, 33, 0,  14, 28, 6,
                               7,  20, 21, 34, 35, 8,  22, 36, 43, 44, 47, 48, 45, 1,  15, 29};

Row channelRow(int32 ch, int32 k)
{
    Row row = kChannelPattern[k < 42 ? k % 14 : k - 28];
    row.id = static_cast<ParamID>(49 * ch + k);
    row.unit = unitOf(ch);
    if (k < 42)
        row.title.replace(row.title.find('#'), 1, std::to_string(k / 14 + 1));
    if (k == 16)
        row.defaultValue = 0.2; // OSC 2 starts quieter
    if (k == 46)
        row.title = ch == 9 ? "Drum Program List MIDI channel 10" : row.title + std::to_string(ch + 1);
    if (k == 46 && ch == 9)
        row.steps = 0;
    return row;
}

// A normalised value as the voices play it: within 0..1, not-a-number as 0.
double played(double v)
{
    return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
}

// What parameter 49 * ch + k must read after the state is restored: a list index over the entries
// less one (type 7, multi sample 8, filter 4, octave 17, program 19, drums 1), at most at an end;
// doubles at the nearest end of 0..1 (detune of -1..+1), not-a-number as 0 (detune: none, 0.5);
// the note-off switch on for any stored byte but 0.
double expectedValue(const GlobalParameterState& state, int32 ch, int32 k)
{
    const OscillatorSettings& o = state.oscillators[ch][k < 42 ? k / 14 : 0];
    const double detune = std::isnan(o.detune) ? 0.5 : (o.detune + 1.0) / 2.0;
    const double byOffset[14] = {
        o.type / 6.0,       o.multiSample / 7.0, o.volume,      detune,          o.retardTime,
        o.filterType / 3.0, o.filterFrequency,   o.filterQ,     o.octave / 16.0, o.attackTime,
        o.decayTime,        o.sustainLevel,      o.sustainTime, o.releaseTime};
    if (k < 42)
        return played(byOffset[k % 14]);
    if (k == 46)
        return ch == 9 ? 0.0 : std::clamp(state.program[ch] / 18.0, 0.0, 1.0);
    return k == 42 ? played(state.masterVolume[ch]) : state.receiveNoteOff[ch] != 0;
}

// The product's controller, recording the values given to it as a derived controller sees them.
class RecordingController : public ControllerWithUI
{
public:
    tresult PLUGIN_API setParamNormalized(ParamID tag, ParamValue value) override
    {
        given.push_back(value);
        return ControllerWithUI::setParamNormalized(tag, value);
    }
    std::vector<ParamValue> given;
};

// A controller initialised as a host does it, terminated after each test.
class ControllerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(controller->initialize(&host), kResultOk); }
    void TearDown() override { controller->terminate(); }

    HostApplication host; // not reference counted: lives as long as the test
    IPtr<RecordingController> controller = owned(new RecordingController());
};

} // namespace

TEST_F(ControllerTest, EveryParameterInRegistrationOrderMatchesTheTable)
{
    std::vector<Row> expected;
    for (int32 ch : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 9})
        expected.push_back(channelRow(ch, 46));
    for (int32 ch = 0; ch < 16; ++ch)
        for (int32 k : kChannelOrder)
            expected.push_back(channelRow(ch, k));
    expected.push_back({784, "Used Voices (of 128)", "", 128, 0, 2, 0, 4});
    expected.push_back({785, "Editor MIDI Channel", "", 15, 0, 8, 0, 4});

    ASSERT_EQ(controller->getParameterCount(), 786);
    ParameterInfo info{};
    for (int32 index = 0; index < 786; ++index)
    {
        SCOPED_TRACE("index " + std::to_string(index));
        const Row& row = expected[static_cast<size_t>(index)];
        ASSERT_EQ(controller->getParameterInfo(index, info), kResultOk);
        EXPECT_EQ(info.id, row.id);
        EXPECT_EQ(ascii(info.title), row.title);
        EXPECT_EQ(ascii(info.shortTitle), "");
        EXPECT_EQ(ascii(info.units), row.units);
        EXPECT_EQ(info.stepCount, row.steps);
        EXPECT_NEAR(info.defaultNormalizedValue, row.defaultValue, 1e-12);
        EXPECT_EQ(info.flags, row.flags);
        EXPECT_EQ(info.unitId, row.unit);
        EXPECT_EQ(controller->getParameterObject(row.id)->getPrecision(), row.precision);
        EXPECT_EQ(controller->getParamNormalized(row.id), info.defaultNormalizedValue);
    }
    EXPECT_EQ(controller->setParamNormalized(786, 0.5), kResultFalse);
    // Indices outside the list would make the SDK throw into the host.
    EXPECT_EQ(controller->getParameterInfo(-1, info), kResultFalse);
    EXPECT_EQ(controller->getParameterInfo(786, info), kResultFalse);
}

// clang-format off
TEST_F(ControllerTest, TextsAndParsingOfListsRangesAndSwitches)
{
    const struct { ParamID id; double normalized; const char* text; } cases[] = {
        {8, 0.0, "8"}, {8, 0.5, "0"}, {8, 1.0, "-8"}, {0, 1.0, "Multi Sample"}, {15, 1.0, "Muted E-Guitar"},
        {0, 2.0 / 6.0, "Triangle (aliased)"}, {5, 1.0, "Bandpass"}, {785, 1.0, "MIDI channel 16"},
        {46, 11.0 / 18.0, "Warm Pad"}, {46, 1.0, "USER 4"}, {781, 0.0, "Piano Cologne"}, {487, 1.0, "Drums"},
        {3, 0.5, "0"}, {3, 0.0, "-200"}, {3, 1.0, "200"}, {2, 0.8, "80.0"}, {42, 0.8, "240.0"},
        {9, 0.02 / 4.995, "0.025"}, {7, 0.257, "0.26"}, {784, 5.0 / 128.0, "5"}, {784, 1.0, "128"},
        {45, 0.51, "On"}, {45, 0.5, "Off"}, {6, 0.5, "1800.0"}, {6, 0.0, "80.0"}, {6, 0.25, "245.1"},
        // Host values outside 0..1 would make the SDK read past a list: they read as the nearest end.
        {0, -0.5, "Off"}, {0, 1.5, "Multi Sample"}, {8, std::nan(""), "8"}, {3, 2.0, "200"}};
    for (const auto& c : cases)
    {
        String128 string{};
        EXPECT_EQ(controller->getParamStringByValue(c.id, c.normalized, string), kResultOk);
        EXPECT_EQ(ascii(string), c.text) << "id " << c.id << " at " << c.normalized;
    }

    // A negative value marks a rejected text.
    const struct { ParamID id; const char16* text; double normalized; } parses[] = {
        {8, STR16("-1"), 9.0 / 16.0}, {0, STR16("White noise"), 5.0 / 6.0}, {0, STR16("white noise"), -1}, {5, STR16("Notch"), -1},
        {3, STR16("100"), 0.75}, {9, STR16("2.5"), (2.5 - 0.005) / 4.995}, {2, STR16("loud"), -1},
        {6, STR16("18000"), 1.0}, {6, STR16("1800.0"), 0.5}, {6, STR16("80"), 0.0}, {6, STR16(""), -1}, {6, STR16("bright"), -1},
        // A frequency beyond the scale would give no number: it means the nearest end.
        {6, STR16("20"), 0.0}, {6, STR16("-5"), 0.0}, {6, STR16("25000"), 1.0}, {6, STR16("nan"), -1}, {6, STR16("inf"), -1},
        // A missing text would reach the SDK as a null pointer.
        {0, nullptr, -1}, {3, nullptr, -1}, {6, nullptr, -1}};
    // clang-format on
    for (const auto& c : parses)
    {
        ParamValue value = 0.42;
        const tresult result = controller->getParamValueByString(c.id, const_cast<TChar*>(c.text), value);
        EXPECT_EQ(result, c.normalized < 0 ? kResultFalse : kResultOk)
            << "id " << c.id << " " << ascii(c.text);
        EXPECT_NEAR(value, c.normalized < 0 ? 0.42 : c.normalized, 1e-6)
            << "id " << c.id << " " << ascii(c.text);
    }
}

TEST_F(ControllerTest, UnitsProgramListsProgramNamesAndPitchNames)
{
    EXPECT_EQ(unitOf(9), 0x63683039);
    EXPECT_EQ(unitOf(10), 0x63683130);
    ASSERT_EQ(controller->getUnitCount(), 17);
    UnitInfo unit{};
    for (int32 index = 0; index < 17; ++index)
    {
        ASSERT_EQ(controller->getUnitInfo(index, unit), kResultOk);
        EXPECT_EQ(ascii(unit.name), index ? "MIDI Channel " + std::to_string(index) : "Root");
        EXPECT_EQ(unit.id, index ? unitOf(index - 1) : 0);
        EXPECT_EQ(unit.parentUnitId, index ? 0 : -1);
        EXPECT_EQ(unit.programListId, index ? 49 * (index - 1) + 46 : -1);
        UnitID byBus = -7;
        EXPECT_EQ(controller->getUnitByBus(kEvent, kInput, 0, index - 1, byBus),
                  index ? kResultOk : kResultFalse);
        EXPECT_EQ(byBus, index ? unit.id : -7);
    }
    // Indices outside the list would make the SDK throw into the host.
    EXPECT_EQ(controller->getUnitInfo(-1, unit), kResultFalse);
    EXPECT_EQ(controller->getUnitInfo(17, unit), kResultFalse);
    UnitID byBus = -7;
    EXPECT_EQ(controller->getUnitByBus(kEvent, kInput, 0, 16, byBus), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kEvent, kOutput, 0, 0, byBus), kResultFalse);
    EXPECT_EQ(controller->getUnitByBus(kAudio, kOutput, 0, 0, byBus), kResultFalse);
    EXPECT_EQ(byBus, -7);

    // clang-format off
    const char* const programs[19] = {"Piano Cologne", "E-Guitar clean surf green", "Le Mont-Saint-Michel",
        "European Disco SAW", "Chinese pipa", "Synth Bass", "Synth Clarinet", "Synth Strings", "Seashore",
        "Synth Trumpet", "Synth Accordion", "Warm Pad", "Flute", "Pizzicato", "Muted E-Guitar", "USER 1",
        "USER 2", "USER 3", "USER 4"};
    const std::map<int16, std::string> drums = {{36, "Kick Drum"}, {38, "Snare Drum"}, {42, "Closed Hi-Hat"},
        {43, "Low Tom"}, {44, "Pedal Hi-Hat"}, {46, "Open Hi-Hat"}, {47, "Mid Tom"}, {49, "Crash Cymbal"},
        {50, "Hi Tom"}, {51, "Ride Cymbal"}, {53, "Ride Bell"}};
    // clang-format on
    // Instrument lists of channels 1..9 and 11..16, then the drum list of channel 10.
    ASSERT_EQ(controller->getProgramListCount(), 16);
    String128 name{};
    for (int32 index = 0; index < 16; ++index)
    {
        const int32 ch = index < 9 ? index : index < 15 ? index + 1 : 9;
        const int32 programCount = ch == 9 ? 1 : 19;
        ProgramListInfo list{};
        ASSERT_EQ(controller->getProgramListInfo(index, list), kResultOk);
        EXPECT_EQ(list.id, 49 * ch + 46) << "index " << index; // its name is the title of its parameter
        EXPECT_EQ(list.programCount, programCount);
        for (int32 program = 0; program < programCount; ++program)
        {
            ASSERT_EQ(controller->getProgramName(list.id, program, name), kResultOk);
            EXPECT_EQ(ascii(name), ch == 9 ? "Drums" : programs[program]) << "list " << list.id;
        }
        EXPECT_EQ(controller->getProgramName(list.id, programCount, name), kResultFalse);
        EXPECT_EQ(controller->hasProgramPitchNames(list.id, 0), ch == 9 ? kResultTrue : kResultFalse);
    }
    std::map<int16, std::string> named;
    for (int16 key = 0; key < 128; ++key)
        if (controller->getProgramPitchName(487, 0, key, name) == kResultOk)
            named[key] = ascii(name);
    EXPECT_EQ(named, drums);
    EXPECT_EQ(controller->getProgramPitchName(46, 0, 36, name), kResultFalse);
}

TEST_F(ControllerTest, VolumeAndPanNoteExpressionOnEachEventChannel)
{
    NoteExpressionTypeInfo info{};
    for (int16 ch = 0; ch < 16; ++ch)
    {
        EXPECT_EQ(controller->getNoteExpressionCount(0, ch), 2);
        for (int32 index : {0, 1, 7}) // index 1 is the pan, every other index the volume
        {
            SCOPED_TRACE(::testing::Message() << "channel " << ch << " index " << index);
            const bool pan = index == 1;
            ASSERT_EQ(controller->getNoteExpressionInfo(0, ch, index, info), kResultOk);
            EXPECT_EQ(info.typeId, (pan ? 100000u : 100016u) + static_cast<uint32>(ch));
            EXPECT_EQ(ascii(info.title),
                      (pan ? "Pan" : "Volume") + std::string(" MIDI channel ") + std::to_string(ch + 1));
            EXPECT_EQ(ascii(info.shortTitle), pan ? "Pan" : "Vol");
            EXPECT_EQ(info.unitId, unitOf(ch));
            EXPECT_EQ(info.valueDesc.defaultValue, pan ? 0.5 : 1.0);
            EXPECT_EQ(std::tuple(info.valueDesc.minimum, info.valueDesc.maximum, info.valueDesc.stepCount),
                      std::tuple(0.0, 1.0, 0));
            EXPECT_EQ(info.flags,
                      pan ? NoteExpressionTypeInfo::kIsBipolar | NoteExpressionTypeInfo::kIsAbsolute : 0);
        }
    }
    EXPECT_EQ(controller->getNoteExpressionCount(0, 16), 0);
    EXPECT_EQ(controller->getNoteExpressionCount(1, 0), 0);
    EXPECT_EQ(controller->getNoteExpressionInfo(1, 3, 0, info), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionInfo(0, 16, 0, info), kResultFalse);
    EXPECT_EQ(controller->getNoteExpressionInfo(0, -1, 1, info), kResultFalse);

    // Pan of channel 3 and volume of channel 6, then types of other channels; a negative value marks
    // a text that is refused.
    // clang-format off
    const struct { int16 ch; NoteExpressionTypeID type; double value; const char16* text; } cases[] = {
        {2, 100002, 0.5, STR16("C")}, {2, 100002, 0.0, STR16("L")}, {2, 100002, 1.0, STR16("R")}, {2, 100002, 0.25, STR16("-50")},
        {2, 100002, 0.75, STR16("50")}, {2, 100002, -1, STR16("r")}, {2, 100002, -1, STR16("Right")}, {2, 100002, -1, STR16("150")},
        {2, 100002, -1, STR16("-100.5")}, {5, 100021, 0.5, STR16("0.5000")}, {5, 100021, 0.1235, STR16("0.1235")},
        {5, 100021, -1, STR16("quiet")}, {5, 100021, -1, STR16("1.5")}, {2, 100000, -1, STR16("C")}, {2, 100016, -1, STR16("C")},
        {16, 100016, -1, STR16("C")}};
    // clang-format on
    String128 string{};
    for (const auto& c : cases)
    {
        double value = 0.3;
        EXPECT_EQ(controller->getNoteExpressionValueByString(0, c.ch, c.type, c.text, value),
                  c.value < 0 ? kResultFalse : kResultOk)
            << ascii(c.text);
        EXPECT_NEAR(value, c.value < 0 ? 0.3 : c.value, 1e-12) << ascii(c.text);
        if (c.value >= 0)
        {
            EXPECT_EQ(controller->getNoteExpressionStringByValue(0, c.ch, c.type, c.value, string),
                      kResultOk);
            EXPECT_EQ(std::basic_string<char16>(string), c.text);
        }
    }
    EXPECT_EQ(controller->getNoteExpressionStringByValue(0, 2, 100000, 0.5, string), kResultFalse);
    EXPECT_EQ(controller->terminate(), kResultOk); // empties what initialize built
    EXPECT_EQ(controller->getNoteExpressionInfo(0, 0, 0, info), kResultFalse);
}

TEST_F(ControllerTest, FourMidiControllersPerEventChannel)
{
    // Modulation wheel, channel volume, pan and pitch bend.
    const std::map<CtrlNumber, int32> offsets = {{1, 43}, {7, 47}, {10, 48}, {129, 44}};
    for (int16 ch = -1; ch <= 16; ++ch)
    {
        for (CtrlNumber number = -1; number <= 130; ++number)
        {
            const auto found = offsets.find(number);
            const bool assigned = ch >= 0 && ch < 16 && found != offsets.end();
            ParamID id = 12345;
            EXPECT_EQ(controller->getMidiControllerAssignment(0, ch, number, id),
                      assigned ? kResultOk : kResultFalse)
                << "channel " << ch << " controller " << number;
            EXPECT_EQ(id, assigned ? static_cast<ParamID>(49 * ch + found->second) : 12345u);
        }
    }
    ParamID id = 0;
    EXPECT_EQ(controller->getMidiControllerAssignment(1, 0, 1, id), kResultFalse);
}

TEST_F(ControllerTest, FollowsTheProcessorsStateAfterProgramChangesAndEditsAndRefusesShortStreams)
{
    GlobalParameterState state;
    setInitialContents(state);
    state.program[2] = 11; // "Warm Pad"
    applyProgram(state, 2, nullptr);
    state.userPrograms[1].oscillators[2].type = 4;
    state.program[15] = 16; // "USER 2"
    applyProgram(state, 15, nullptr);
    state.oscillators[0][0] = {6, 0.16, 0.11, 0.12, 0.13, 0.14, 0.15, -1.0, 0.2, 8, 0.61, 0.33, 2, 7};
    state.oscillators[4][1].detune = 0.0;
    state.receiveNoteOff[4] = 0;
    // The reader keeps values as stored, also outside their ranges.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    state.oscillators[1][0] = {9, nan, 1.5, -0.5, inf, -inf, 0.5, 3.0, nan, -3, 2.0, -1e-300, 100, -128};
    state.oscillators[1][1].detune = nan;
    state.oscillators[1][2].detune = -7.0;
    state.masterVolume[1] = nan;
    state.masterVolume[5] = 4.0;
    // Found by fuzzing the component state: a resonance and a volume that are not numbers.
    state.oscillators[5][2].filterQ = nan;
    state.oscillators[11][2].volume = nan;
    state.receiveNoteOff[1] = -3;
    state.receiveNoteOff[5] = 5;
    state.program[5] = 25;
    state.program[9] = 3; // the drum list has a single entry
    Taviro::Test::ByteStream full;
    ASSERT_EQ(state.getState(&full), kResultOk);
    ASSERT_EQ(full.data().size(), 5244u);

    const auto restore = [&](std::vector<unsigned char> bytes)
    {
        Taviro::Test::ByteStream in(std::move(bytes));
        return controller->setComponentState(&in);
    };
    // Every parameter away from its default, so that untouched ones can be told apart.
    std::vector<double> before;
    for (ParamID id = 0; id < 786; ++id)
        controller->setParamNormalized(id, (id % 7 + 1) / 9.0);
    for (ParamID id = 0; id < 786; ++id)
        before.push_back(controller->getParamNormalized(id));

    // Inside the user programs, at the last byte, inside the first channel, the version only, empty.
    for (long length : {5000, 5243, 100, 8, 0})
        EXPECT_EQ(restore({full.data().begin(), full.data().begin() + length}), kResultFalse) << length;
    EXPECT_EQ(controller->setComponentState(nullptr), kResultFalse);
    EXPECT_EQ(controller->setState(&full), kNotImplemented); // the controller persists nothing itself
    for (ParamID id = 0; id < 786; ++id)
        ASSERT_EQ(controller->getParamNormalized(id), before[id]) << "id " << id;

    controller->given.clear();
    ASSERT_EQ(restore(full.data()), kResultOk);
    for (ParamID id = 0; id < 786; ++id)
    {
        const int32 ch = static_cast<int32>(id) / 49;
        const int32 k = static_cast<int32>(id) % 49;
        // Mod wheel, pitch bend, main volume, panorama and the two global parameters are not in the stream.
        const bool carried = id < 784 && k != 43 && k != 44 && k != 47 && k != 48;
        EXPECT_DOUBLE_EQ(controller->getParamNormalized(id),
                         carried ? expectedValue(state, ch, k) : before[id])
            << "channel " << ch << " offset " << k;
    }
    // 45 parameters of each channel, and a derived controller never sees a value outside 0..1.
    EXPECT_EQ(controller->given.size(), 16u * 45u);
    for (ParamValue value : controller->given)
        EXPECT_TRUE(value >= 0.0 && value <= 1.0) << value;
}
