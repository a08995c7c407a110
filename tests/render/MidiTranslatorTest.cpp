#include "tools/render/MidiTranslator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Taviro::Render;

namespace
{

struct RecordingSink
{
    std::vector<NoteCommand> notes;
    std::vector<ParameterCommand> parameters;

    void note(const NoteCommand& command) { notes.push_back(command); }
    void parameter(const ParameterCommand& command) { parameters.push_back(command); }
};

MidiEvent channelEvent(MidiEventType type, int channel, int data1, int data2 = 0)
{
    MidiEvent event;
    event.type = type;
    event.channel = static_cast<std::uint8_t>(channel);
    event.data1 = static_cast<std::uint8_t>(data1);
    event.data2 = static_cast<std::uint8_t>(data2);
    return event;
}

// The mapping the instrument publishes: mod wheel, volume, pan and pitch bend of each channel.
std::optional<std::uint32_t> instrumentMapping(int channel, int controller)
{
    const std::uint32_t base = 49u * static_cast<unsigned>(channel);
    switch (controller)
    {
    case 1:
        return base + 43;
    case 7:
        return base + 47;
    case 10:
        return base + 48;
    case 129:
        return base + 44;
    default:
        return std::nullopt;
    }
}

} // namespace

TEST(MidiTranslator, NoteOffsEndTheirOwnNoteOnsOldestFirstAndStrayOnesAreDropped)
{
    MidiTranslator translator(instrumentMapping);
    RecordingSink sink;
    translator.translate(channelEvent(MidiEventType::NoteOn, 2, 60, 127), sink);
    translator.translate(channelEvent(MidiEventType::NoteOn, 2, 60, 64), sink); // same key again
    translator.translate(channelEvent(MidiEventType::NoteOn, 3, 60, 1), sink);  // same key, other channel
    translator.translate(channelEvent(MidiEventType::NoteOff, 2, 60), sink);
    translator.translate(channelEvent(MidiEventType::NoteOff, 5, 61), sink); // never started
    translator.translate(channelEvent(MidiEventType::NoteOff, 2, 60, 100), sink);

    ASSERT_EQ(sink.notes.size(), 5u);
    EXPECT_TRUE(sink.notes[0].on);
    EXPECT_FLOAT_EQ(sink.notes[0].velocity, 1.0f);
    EXPECT_FLOAT_EQ(sink.notes[1].velocity, 64 / 127.0f);
    EXPECT_EQ(sink.notes[2].channel, 3);
    EXPECT_NE(sink.notes[0].noteId, sink.notes[1].noteId);
    EXPECT_NE(sink.notes[1].noteId, sink.notes[2].noteId);
    for (const NoteCommand& note : sink.notes)
        EXPECT_GE(note.noteId, 0) << "-1 would make the plug-in match by pitch";

    EXPECT_FALSE(sink.notes[3].on);
    EXPECT_EQ(sink.notes[3].noteId, sink.notes[0].noteId) << "the first note-off ends the first note";
    EXPECT_EQ(sink.notes[4].noteId, sink.notes[1].noteId);
    EXPECT_FLOAT_EQ(sink.notes[4].velocity, 100 / 127.0f);

    // Stopping releases what still sounds: the note on channel index 3.
    RecordingSink stop;
    translator.releaseAll(stop);
    ASSERT_EQ(stop.notes.size(), 1u);
    EXPECT_FALSE(stop.notes[0].on);
    EXPECT_EQ(stop.notes[0].channel, 3);
    EXPECT_EQ(stop.notes[0].noteId, sink.notes[2].noteId);
    RecordingSink again;
    translator.releaseAll(again);
    EXPECT_TRUE(again.notes.empty());
}

TEST(MidiTranslator, ProgramChangeSelectsTheProgramThroughTheChannelsProgramParameter)
{
    MidiTranslator translator(instrumentMapping);
    RecordingSink sink;
    translator.translate(channelEvent(MidiEventType::ProgramChange, 0, 0), sink);
    translator.translate(channelEvent(MidiEventType::ProgramChange, 4, 11), sink);
    translator.translate(channelEvent(MidiEventType::ProgramChange, 15, 18), sink);
    translator.translate(channelEvent(MidiEventType::ProgramChange, 1, 19), sink); // no such program
    translator.translate(channelEvent(MidiEventType::ProgramChange, 9, 25), sink); // drums: the one kit

    ASSERT_EQ(sink.parameters.size(), 4u);
    EXPECT_EQ(sink.parameters[0].id, 46u);
    EXPECT_EQ(sink.parameters[1].id, 4u * 49 + 46);
    EXPECT_EQ(sink.parameters[2].id, 15u * 49 + 46);
    EXPECT_EQ(sink.parameters[3].id, 487u);
    // The processor takes min(18, trunc(v x 19)) as the program.
    const int expected[] = {0, 11, 18};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::min(18, static_cast<int>(sink.parameters[i].value * 19)), expected[i]);
    EXPECT_EQ(sink.parameters[3].value, 0.0);
}

TEST(MidiTranslator, ControllersAndPitchBendGoThroughTheMappingAndUnmappedOnesAreIgnored)
{
    MidiTranslator translator(instrumentMapping);
    RecordingSink sink;
    translator.translate(channelEvent(MidiEventType::ControlChange, 1, 1, 127), sink);  // mod wheel
    translator.translate(channelEvent(MidiEventType::ControlChange, 1, 7, 0), sink);    // volume
    translator.translate(channelEvent(MidiEventType::ControlChange, 1, 64, 127), sink); // sustain: unmapped
    translator.translate(channelEvent(MidiEventType::ChannelPressure, 1, 90), sink);    // unmapped
    translator.translate(channelEvent(MidiEventType::PolyPressure, 1, 60, 90), sink);
    translator.translate(channelEvent(MidiEventType::PitchBend, 1, 0x00, 0x40), sink); // centre
    translator.translate(channelEvent(MidiEventType::PitchBend, 1, 0x00, 0x00), sink); // full down
    translator.translate(channelEvent(MidiEventType::PitchBend, 1, 0x7F, 0x7F), sink); // full up
    translator.translate(channelEvent(MidiEventType::ControlChange, 1, 10, 64), sink); // pan

    ASSERT_EQ(sink.parameters.size(), 6u);
    EXPECT_TRUE(sink.notes.empty());
    EXPECT_EQ(sink.parameters[0].id, 49u + 43);
    EXPECT_DOUBLE_EQ(sink.parameters[0].value, 1.0);
    EXPECT_EQ(sink.parameters[1].id, 49u + 47);
    EXPECT_DOUBLE_EQ(sink.parameters[1].value, 0.0);
    EXPECT_EQ(sink.parameters[2].id, 49u + 44);
    EXPECT_EQ(sink.parameters[2].value, 0.5) << "no detune at rest";
    EXPECT_EQ(sink.parameters[3].value, 0.0);
    EXPECT_EQ(sink.parameters[4].value, 1.0);
    EXPECT_EQ(sink.parameters[5].id, 49u + 48);
    EXPECT_DOUBLE_EQ(sink.parameters[5].value, 64 / 127.0);
}
