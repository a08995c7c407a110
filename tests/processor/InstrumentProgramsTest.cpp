// Instrument programs: the initial channel contents, user programs, the drum channel and the
// identifiers a program change queues.
#include "source/ParameterIds.h"
#include "source/processor/InstrumentPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::TaviroPlugIn;

namespace {

GlobalParameterState freshState()
{
    GlobalParameterState s;
    setInitialContents(s);
    return s;
}

std::vector<ParamID> drain(PendingParameterIds& pending)
{
    std::vector<ParamID> ids;
    while (!pending.empty())
    {
        ids.push_back(pending.top());
        pending.pop();
    }
    return ids;
}

} // namespace

TEST(InstrumentPrograms, NewStateHoldsPianoEverywhereButTheDrumKitOnChannel10)
{
    GlobalParameterState s = freshState();
    for (int ch = 0; ch < 16; ++ch)
    {
        EXPECT_EQ(s.program[ch], 0);
        EXPECT_EQ(s.pitchBend[ch], 1.0);
        EXPECT_EQ(s.mainVolume[ch], 0.787);
        EXPECT_EQ(s.panorama[ch], 0.5);
        EXPECT_EQ(s.modWheel[ch], 0.0);
        if (ch == 9)
            continue;
        EXPECT_EQ(s.masterVolume[ch], 0.3334);
        EXPECT_EQ(s.receiveNoteOff[ch], 1);
        EXPECT_EQ(s.oscillators[ch][0].type, 6);
        EXPECT_EQ(s.oscillators[ch][0].multiSample, 2);
        EXPECT_EQ(s.oscillators[ch][0].releaseTime, 0.1);
        EXPECT_EQ(s.oscillators[ch][1].type, 0);
        EXPECT_EQ(s.oscillators[ch][2].type, 0);
    }
    EXPECT_EQ(s.oscillators[9][0].type, 6);
    EXPECT_EQ(s.oscillators[9][0].multiSample, 3);
    EXPECT_EQ(s.oscillators[9][0].sustainTime, 0.9);
    EXPECT_EQ(s.oscillators[9][1].multiSample, 3);
    EXPECT_EQ(s.oscillators[9][1].sustainLevel, 0.0);
    EXPECT_EQ(s.receiveNoteOff[9], 0);
    EXPECT_EQ(s.masterVolume[9], 0.5);
}

TEST(InstrumentPrograms, FactoryProgramOverwritesEveryField)
{
    GlobalParameterState s = freshState();
    s.oscillators[2][2].filterQ = 0.77; // a leftover that program 2 must replace
    s.program[2] = 2;
    applyProgram(s, 2, nullptr);
    const OscillatorSettings& osc3 = s.oscillators[2][2];
    EXPECT_EQ(osc3.type, 6);
    EXPECT_EQ(osc3.detune, -0.3);
    EXPECT_EQ(osc3.retardTime, 0.12);
    EXPECT_EQ(osc3.octave, 11);
    EXPECT_EQ(osc3.filterType, 1);
    EXPECT_EQ(osc3.filterFrequency, 0.4);
    EXPECT_EQ(osc3.filterQ, 0.0);
    EXPECT_EQ(s.oscillators[2][0].octave, 13);
    EXPECT_EQ(s.program[2], 2);
}

TEST(InstrumentPrograms, UserProgramIsCopiedToEachChannel)
{
    GlobalParameterState s = freshState();
    s.program[0] = 15;
    s.program[5] = 15;
    applyProgram(s, 0, nullptr);
    applyProgram(s, 5, nullptr);
    for (int ch : {0, 5})
    {
        EXPECT_EQ(s.masterVolume[ch], 0.3334);
        EXPECT_EQ(s.receiveNoteOff[ch], 1);
        EXPECT_EQ(s.oscillators[ch][0].type, 1);
        EXPECT_EQ(s.oscillators[ch][0].volume, 1.0);
        EXPECT_EQ(s.oscillators[ch][0].releaseTime, 0.12);
        EXPECT_EQ(s.oscillators[ch][0].octave, 8);
        EXPECT_EQ(s.oscillators[ch][1].type, 0);
        EXPECT_EQ(s.oscillators[ch][1].volume, 0.0);
    }
    // A copy, not a link: a later edit of the user program does not reach the channel.
    s.userPrograms[0].oscillators[0].volume = 0.2;
    EXPECT_EQ(s.oscillators[0][0].volume, 1.0);
    s.program[0] = 18;
    s.userPrograms[3].masterVolume = 0.9;
    applyProgram(s, 0, nullptr);
    EXPECT_EQ(s.masterVolume[0], 0.9);
}

TEST(InstrumentPrograms, UnknownProgramWritesNothingButStillNotifies)
{
    for (int8 p : {int8(19), int8(-1), int8(100)})
    {
        GlobalParameterState s = freshState();
        const GlobalParameterState before = s;
        s.program[3] = p;
        PendingParameterIds pending;
        applyProgram(s, 3, &pending);
        s.program[3] = 0;
        EXPECT_EQ(s, before);
        EXPECT_EQ(pending.size(), 44);
    }
    // The drum channel only ever takes program 0.
    GlobalParameterState s = freshState();
    const GlobalParameterState before = s;
    s.program[9] = 5;
    applyProgram(s, 9, nullptr);
    s.program[9] = 0;
    EXPECT_EQ(s, before);
}

TEST(InstrumentPrograms, NotificationQueuesTheChannels44Identifiers)
{
    GlobalParameterState s = freshState();
    s.oscillators[9][0].volume = 0.1;
    PendingParameterIds pending;
    applyProgram(s, 9, &pending);
    EXPECT_EQ(s.oscillators[9][0].volume, 1.0); // drum kit re-applied

    std::vector<ParamID> reported = drain(pending);
    ASSERT_EQ(reported.size(), 44u);
    EXPECT_EQ(reported.front(), 49u * 9 + 29); // last pushed
    EXPECT_EQ(reported.back(), 49u * 9);       // first pushed
    std::set<ParamID> ids(reported.begin(), reported.end());
    std::set<ParamID> expected;
    for (ParamID id = 441; id <= 483; ++id)
        expected.insert(id);
    expected.insert(486);
    EXPECT_EQ(ids, expected);
}

TEST(InstrumentPrograms, ClarinetAndTrumpetDifferOnlyInVolumeAndSampleSet)
{
    ProgramSettings clarinet = kFactoryPrograms[6];
    ProgramSettings trumpet = kFactoryPrograms[9];
    EXPECT_EQ(clarinet.masterVolume, 0.82);
    EXPECT_EQ(trumpet.masterVolume, 0.5);
    for (int o = 0; o < 3; ++o)
    {
        EXPECT_EQ(clarinet.oscillators[o].multiSample, 5);
        EXPECT_EQ(trumpet.oscillators[o].multiSample, 4);
        trumpet.oscillators[o].multiSample = 5;
        EXPECT_EQ(clarinet.oscillators[o], trumpet.oscillators[o]);
    }
    EXPECT_EQ(clarinet.receiveNoteOff, trumpet.receiveNoteOff);
}

TEST(InstrumentPrograms, EveryFactoryProgramHoldsValuesInRange)
{
    for (const ProgramSettings& p : kFactoryPrograms)
    {
        EXPECT_TRUE(p.receiveNoteOff == 0 || p.receiveNoteOff == 1);
        for (const auto& o : p.oscillators)
        {
            EXPECT_TRUE(o.type == 0 || o.type == 1 || o.type == 5 || o.type == 6);
            EXPECT_GE(o.multiSample, 0);
            EXPECT_LE(o.multiSample, 7);
            EXPECT_GE(o.octave, 0);
            EXPECT_LE(o.octave, 16);
            EXPECT_GE(o.detune, -1.0);
            EXPECT_LE(o.detune, 1.0);
        }
    }
}
