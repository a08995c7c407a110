#include "tools/render/DemoSong.h"
#include "tools/render/MidiTiming.h"
#include "tools/render/SmfWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace Taviro::Render;

TEST(SmfWriter, WritesWhatTheReaderReadsBackWithNoteOffsBeforeNoteOnsAtTheSameTick)
{
    SmfWriter writer(240);
    writer.addTrack("conductor");
    writer.tempo(0, 150);
    writer.addTrack("part");
    writer.note(240, 240, 3, 60, 90);
    writer.note(0, 240, 3, 60, 80); // ends where the next one starts: released first
    writer.pitchBend(120, 3, 16383);
    writer.controlChange(200000, 3, 1, 127); // needs a three-byte delta
    auto sequence = parseMidiFile(writer.build());

    EXPECT_EQ(sequence.format, 1);
    EXPECT_EQ(sequence.trackCount, 2);
    ASSERT_EQ(sequence.events.size(), 7u);
    EXPECT_EQ(sequence.events[0].microsecondsPerQuarter, 400000u);
    const MidiEventType expected[] = {
        MidiEventType::Tempo,  MidiEventType::NoteOn,  MidiEventType::PitchBend,    MidiEventType::NoteOff,
        MidiEventType::NoteOn, MidiEventType::NoteOff, MidiEventType::ControlChange};
    const std::uint64_t ticks[] = {0, 0, 120, 240, 240, 480, 200000};
    for (int i = 0; i < 7; ++i)
    {
        EXPECT_EQ(sequence.events[i].type, expected[i]) << i;
        EXPECT_EQ(sequence.events[i].tick, ticks[i]) << i;
    }
    EXPECT_EQ(sequence.events[2].pitchBendValue(), 16383);
    EXPECT_EQ(sequence.events[4].data2, 90);
    EXPECT_EQ(sequence.events[6].channel, 3);
}

namespace
{

struct SongFacts
{
    double seconds = 0;
    std::map<int, int> programOfChannel;
    std::map<int, int> notesOnChannel;
    std::set<int> drumKeys;
    int pitchBends = 0;
    int lastPitchBend = 8192;
    int modWheelMoves = 0;
    int lastModWheel = 0;
    int unmatchedNotes = 0;
    int lowestKey = 127;
    int highestKey = 0;
};

SongFacts studyDemoSong()
{
    SongFacts facts;
    auto sequence = parseMidiFile(demoSongMidiFile());
    facts.seconds = TempoMap(sequence, 48000).secondsAt(sequence.endTick);
    std::map<std::pair<int, int>, int> held;
    for (const MidiEvent& e : sequence.events)
    {
        switch (e.type)
        {
        case MidiEventType::ProgramChange:
            facts.programOfChannel[e.channel] = e.data1;
            break;
        case MidiEventType::NoteOn:
            ++facts.notesOnChannel[e.channel];
            ++held[{e.channel, e.data1}];
            if (e.channel == 9)
                facts.drumKeys.insert(e.data1);
            else
            {
                facts.lowestKey = std::min<int>(facts.lowestKey, e.data1);
                facts.highestKey = std::max<int>(facts.highestKey, e.data1);
            }
            break;
        case MidiEventType::NoteOff:
            if (held[{e.channel, e.data1}]-- == 0)
                ++facts.unmatchedNotes;
            break;
        case MidiEventType::PitchBend:
            ++facts.pitchBends;
            facts.lastPitchBend = e.pitchBendValue();
            break;
        case MidiEventType::ControlChange:
            if (e.data1 == 1)
            {
                ++facts.modWheelMoves;
                facts.lastModWheel = e.data2;
            }
            break;
        default:
            break;
        }
    }
    for (auto& [key, count] : held)
        facts.unmatchedNotes += count;
    return facts;
}

} // namespace

TEST(DemoSong, IsABandOfFactoryProgramsOnTheirOwnChannelsWithDrumsOnChannelTen)
{
    SongFacts facts = studyDemoSong();
    EXPECT_GE(facts.seconds, 30.0);
    EXPECT_LE(facts.seconds, 60.0);

    std::set<int> programs;
    for (auto [channel, program] : facts.programOfChannel)
    {
        EXPECT_GT(facts.notesOnChannel[channel], 0)
            << "channel index " << channel << " gets a program but no notes";
        if (channel != 9)
        {
            EXPECT_LE(program, 14) << "factory programs only";
            programs.insert(program);
        }
    }
    EXPECT_GE(programs.size(), 6u) << "several different instruments";
    EXPECT_EQ(programs.size(), facts.programOfChannel.size() - 1) << "one instrument per channel";
    EXPECT_GT(facts.notesOnChannel[9], 100) << "the drum channel carries a groove";
    for (auto [channel, count] : facts.notesOnChannel)
        EXPECT_TRUE(facts.programOfChannel.count(channel))
            << "channel index " << channel << " plays without a program";

    // Every drum note is a key with a drum name on the drum program.
    const std::set<int> namedDrums{36, 38, 42, 43, 44, 46, 47, 49, 50, 51, 53};
    for (int key : facts.drumKeys)
        EXPECT_TRUE(namedDrums.count(key)) << "drum key " << key;
    EXPECT_GE(facts.drumKeys.size(), 7u);

    EXPECT_EQ(facts.unmatchedNotes, 0) << "every note ends";
    EXPECT_GE(facts.lowestKey, 21);
    EXPECT_LE(facts.highestKey, 108);

    EXPECT_GT(facts.pitchBends, 0);
    EXPECT_EQ(facts.lastPitchBend, 8192) << "pitch bend returns to the centre";
    EXPECT_GT(facts.modWheelMoves, 0);
    EXPECT_EQ(facts.lastModWheel, 0) << "the mod wheel returns to rest";
}
