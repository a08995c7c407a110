#include "source/ParameterIds.h"
#include "source/processor/InstrumentPrograms.h"
#include "source/processor/ParameterConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

class ParameterConversionTest : public ::testing::Test
{
protected:
    ParameterConversionTest() { setInitialContents(state); }

    void set(int32 ch, int32 offset, double v) { applyParameterValue(state, pending, channelParameterId(ch, offset), v); }
    void setOsc(int32 ch, int32 o, int32 field, double v) { set(ch, oscillatorParameterOffset(o, field), v); }

    GlobalParameterState state{};
    PendingParameterIds pending;
};

TEST_F(ParameterConversionTest, ListChoicesAreTruncatedAndLimitedToTheLastEntry)
{
    struct Case
    {
        double v;
        int8 type;
    } typeCases[] = {{1.0, 6}, {0.999, 6}, {0.14, 0}, {0.15, 1}, {0.5, 3}};
    for (const Case& c : typeCases)
    {
        setOsc(0, 0, kOscType, c.v);
        EXPECT_EQ(state.oscillators[0][0].type, c.type) << "v = " << c.v;
    }

    setOsc(4, 1, kOscMultiSample, 1.0);
    EXPECT_EQ(state.oscillators[4][1].multiSample, 7);
    setOsc(4, 1, kOscMultiSample, 0.375); // 3.0 exactly
    EXPECT_EQ(state.oscillators[4][1].multiSample, 3);
    setOsc(4, 2, kOscFilterType, 1.0);
    EXPECT_EQ(state.oscillators[4][2].filterType, 3);
    setOsc(4, 2, kOscFilterType, 0.74); // trunc(2.96)
    EXPECT_EQ(state.oscillators[4][2].filterType, 2);
    setOsc(4, 0, kOscOctave, 1.0);
    EXPECT_EQ(state.oscillators[4][0].octave, 16);
    setOsc(4, 0, kOscOctave, 0.5); // trunc(8.5)
    EXPECT_EQ(state.oscillators[4][0].octave, 8);

    // Program 18, "USER 4", copies the fourth user program in.
    state.userPrograms[3].masterVolume = 0.123;
    set(0, kProgramChange, 1.0);
    EXPECT_EQ(state.program[0], 18);
    EXPECT_EQ(state.masterVolume[0], 0.123);
}

TEST_F(ParameterConversionTest, ValuesOutsideTheHostRangeNeverBecomeNegativeOrHugeIndices)
{
    setOsc(1, 0, kOscType, -0.5);
    EXPECT_EQ(state.oscillators[1][0].type, 0);
    setOsc(1, 0, kOscOctave, 1e300);
    EXPECT_EQ(state.oscillators[1][0].octave, 16);
    set(1, kProgramChange, 7.0);
    EXPECT_EQ(state.program[1], 18);
    // Doubles are kept as received.
    setOsc(1, 0, kOscVolume, 1.5);
    EXPECT_EQ(state.oscillators[1][0].volume, 1.5);
}

TEST_F(ParameterConversionTest, NonFiniteValuesChangeNothing)
{
    const GlobalParameterState before = state;
    for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()})
    {
        for (int32 offset = 0; offset < kParametersPerChannel; ++offset)
            EXPECT_FALSE(applyParameterValue(state, pending, channelParameterId(2, offset), v));
    }
    EXPECT_TRUE(state == before);
    EXPECT_TRUE(pending.empty());
}

TEST_F(ParameterConversionTest, DoublesDetuneBendAndNoteOffSwitch)
{
    setOsc(5, 2, kOscFilterFrequency, 0.3);
    EXPECT_EQ(state.oscillators[5][2].filterFrequency, 0.3);
    setOsc(5, 1, kOscDetune, 0.75);
    EXPECT_EQ(state.oscillators[5][1].detune, 0.5);
    setOsc(5, 1, kOscDetune, 0.0);
    EXPECT_EQ(state.oscillators[5][1].detune, -1.0);

    set(5, kPitchBend, 0.0);
    EXPECT_EQ(state.pitchBend[5], 1.0594625738944634);
    set(5, kPitchBend, 1.0);
    EXPECT_EQ(state.pitchBend[5], 0.943874800054369);
    set(5, kPitchBend, 0.5);
    EXPECT_EQ(state.pitchBend[5], 1.0);

    set(5, kReceiveNoteOff, 0.5);
    EXPECT_EQ(state.receiveNoteOff[5], 1);
    set(5, kReceiveNoteOff, 0.49);
    EXPECT_EQ(state.receiveNoteOff[5], 0);

    set(5, kModWheel, 0.2);
    set(5, kMainVolume, 0.3);
    set(5, kPanorama, 0.9);
    set(5, kMasterVolume, 0.6);
    EXPECT_EQ(state.modWheel[5], 0.2);
    EXPECT_EQ(state.mainVolume[5], 0.3);
    EXPECT_EQ(state.panorama[5], 0.9);
    EXPECT_EQ(state.masterVolume[5], 0.6);
}

TEST_F(ParameterConversionTest, EditsOfAChannelPlayingAUserProgramGoIntoThatProgram)
{
    state.program[2] = 16; // channel 3 plays USER 2
    setOsc(2, 1, kOscVolume, 0.7);
    EXPECT_EQ(state.userPrograms[1].oscillators[1].volume, 0.7);
    setOsc(2, 0, kOscType, 0.5);
    EXPECT_EQ(state.userPrograms[1].oscillators[0].type, 3);
    setOsc(2, 2, kOscDetune, 1.0);
    EXPECT_EQ(state.userPrograms[1].oscillators[2].detune, 1.0);
    set(2, kMasterVolume, 0.41);
    EXPECT_EQ(state.userPrograms[1].masterVolume, 0.41);
    set(2, kReceiveNoteOff, 0.0);
    EXPECT_EQ(state.userPrograms[1].receiveNoteOff, 0);

    // Performance controls never reach a user program.
    const UserProgram userBefore = state.userPrograms[1];
    set(2, kModWheel, 0.9);
    set(2, kPitchBend, 0.9);
    set(2, kMainVolume, 0.9);
    set(2, kPanorama, 0.9);
    EXPECT_TRUE(state.userPrograms[1] == userBefore);

    // A factory program leaves the user programs alone.
    const GlobalParameterState before = state;
    setOsc(3, 1, kOscVolume, 0.33);
    for (int32 u = 0; u < kNumUserPrograms; ++u)
        EXPECT_TRUE(state.userPrograms[u] == before.userPrograms[u]);
}

TEST_F(ParameterConversionTest, ReportedValuesComeFromTheStoredForm)
{
    OscillatorSettings& osc = state.oscillators[7][1];
    osc.type = 6;
    osc.multiSample = 3;
    osc.filterType = 2;
    osc.octave = 13;
    osc.detune = -0.3;
    osc.sustainTime = 0.9;
    state.masterVolume[7] = 0.82;
    state.receiveNoteOff[7] = 1;

    auto reported = [&](int32 offset) {
        ParamValue value = -1.0;
        EXPECT_TRUE(reportedParameterValue(state, channelParameterId(7, offset), value)) << offset;
        return value;
    };
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscType)), 6.0 / 7.0);
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscMultiSample)), 0.375);
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscFilterType)), 0.5);
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscOctave)), 13.0 / 17.0);
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscDetune)), (-0.3 + 1.0) * 0.5);
    EXPECT_EQ(reported(oscillatorParameterOffset(1, kOscSustainTime)), 0.9);
    EXPECT_EQ(reported(kMasterVolume), 0.82);
    EXPECT_EQ(reported(kReceiveNoteOff), 1.0);

    ParamValue value = 0.0;
    for (int32 offset : {kModWheel, kPitchBend, kProgramChange, kMainVolume, kPanorama})
        EXPECT_FALSE(reportedParameterValue(state, channelParameterId(7, offset), value)) << offset;
}

TEST_F(ParameterConversionTest, AReportedListIndexConvertsBackToTheSameIndex)
{
    struct List
    {
        int32 field;
        int32 entries;
        int8 OscillatorSettings::*member;
    } lists[] = {{kOscType, 7, &OscillatorSettings::type},
                 {kOscMultiSample, 8, &OscillatorSettings::multiSample},
                 {kOscFilterType, 4, &OscillatorSettings::filterType},
                 {kOscOctave, 17, &OscillatorSettings::octave}};
    for (const List& list : lists)
    {
        for (int32 n = 0; n < list.entries; ++n)
        {
            const ParamID id = channelParameterId(11, oscillatorParameterOffset(2, list.field));
            state.oscillators[11][2].*list.member = static_cast<int8>(n);
            ParamValue value = 0.0;
            ASSERT_TRUE(reportedParameterValue(state, id, value));
            state.oscillators[11][2].*list.member = -1;
            applyParameterValue(state, pending, id, value);
            EXPECT_EQ(state.oscillators[11][2].*list.member, n) << "field " << list.field;
        }
    }
}

} // namespace
