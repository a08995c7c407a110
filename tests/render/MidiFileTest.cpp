#include "tools/render/MidiFile.h"
#include "tests/render/SmfBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace Taviro::Render;
using Taviro::Test::smfFile;
using Taviro::Test::smfHeader;

namespace
{

struct Expected
{
    std::uint64_t tick;
    MidiEventType type;
    int channel;
    int data1;
    int data2;
};

void expectEvents(const MidiSequence& sequence, std::initializer_list<Expected> expected)
{
    ASSERT_EQ(sequence.events.size(), expected.size());
    std::size_t i = 0;
    for (const Expected& e : expected)
    {
        const MidiEvent& event = sequence.events[i++];
        EXPECT_EQ(event.tick, e.tick) << "event " << i;
        EXPECT_EQ(event.type, e.type) << "event " << i;
        EXPECT_EQ(event.channel, e.channel) << "event " << i;
        EXPECT_EQ(event.data1, e.data1) << "event " << i;
        EXPECT_EQ(event.data2, e.data2) << "event " << i;
    }
}

std::string errorOf(const std::vector<std::uint8_t>& bytes)
{
    try
    {
        parseMidiFile(bytes);
    }
    catch (const MidiFileError& error)
    {
        return error.what();
    }
    return "";
}

// One track of format 0 with a little of everything.
std::vector<std::uint8_t> richFile()
{
    return smfFile(0, 96, {{0x00, 0xFF, 0x03, 0x04, 'S',  'o',  'n',  'g',     // track name
                            0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,          // tempo 600000
                            0x00, 0xC2, 0x05,                                  // program change
                            0x00, 0x92, 0x3C, 0x64,                            // note on
                            0x60, 0xE2, 0x00, 0x50,                            // pitch bend
                            0x81, 0x00, 0x82, 0x3C, 0x40,                      // note off after 128 ticks
                            0x00, 0xF0, 0x03, 0x7E, 0x01, 0xF7,                // system exclusive
                            0x00, 0xB2, 0x07, 0x50, 0x00, 0xFF, 0x2F, 0x00}}); // volume, end of track
}

} // namespace

TEST(MidiFileReader, RunningStatusContinuesChannelMessagesAndVelocityZeroIsNoteOff)
{
    auto file = smfFile(0, 480, {{0x00, 0x90, 0x3C, 0x64,      // note on C4
                                  0x10, 0x3E, 0x50,            // running status: note on D4
                                  0x10, 0x3C, 0x00,            // running status, velocity 0: C4 off
                                  0x00, 0xFF, 0x01, 0x01, 'x', // a text event in between
                                  0x08, 0x3E, 0x00,            // running status still holds
                                  0x00, 0xB1, 0x01, 0x20, 0x04, 0x40, 0x7F, // control changes, running
                                  0x00, 0xFF, 0x2F, 0x00}});
    auto sequence = parseMidiFile(file);
    EXPECT_EQ(sequence.format, 0);
    EXPECT_EQ(sequence.division.ticksPerQuarter, 480);
    expectEvents(sequence, {{0, MidiEventType::NoteOn, 0, 60, 100},
                            {16, MidiEventType::NoteOn, 0, 62, 80},
                            {32, MidiEventType::NoteOff, 0, 60, 0},
                            {40, MidiEventType::NoteOff, 0, 62, 0},
                            {40, MidiEventType::ControlChange, 1, 1, 32},
                            {44, MidiEventType::ControlChange, 1, 64, 127}});
    EXPECT_EQ(sequence.endTick, 44u);
}

TEST(MidiFileReader, KeepsChannelEventsAndTempoAndSkipsOtherMetaAndSystemExclusive)
{
    auto sequence = parseMidiFile(richFile());
    expectEvents(sequence, {{0, MidiEventType::Tempo, 0, 0, 0},
                            {0, MidiEventType::ProgramChange, 2, 5, 0},
                            {0, MidiEventType::NoteOn, 2, 60, 100},
                            {96, MidiEventType::PitchBend, 2, 0, 0x50},
                            {224, MidiEventType::NoteOff, 2, 60, 64},
                            {224, MidiEventType::ControlChange, 2, 7, 80}});
    EXPECT_EQ(sequence.events[0].microsecondsPerQuarter, 600000u);
    EXPECT_EQ(sequence.events[3].pitchBendValue(), 0x50 << 7);
}

TEST(MidiFileReader, MergesFormatOneTracksByTickThenTrackOrder)
{
    auto file = smfFile(
        1, 480,
        {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x0A, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xFF,
          0x2F, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x0A, 0x80, 0x3C, 0x00, 0x00, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0x91, 0x30, 0x40, 0x05, 0x81, 0x30, 0x00, 0x05, 0x91, 0x32, 0x40, 0x14, 0xFF, 0x2F, 0x00}});
    auto sequence = parseMidiFile(file);
    EXPECT_EQ(sequence.trackCount, 3);
    expectEvents(sequence, {{0, MidiEventType::Tempo, 0, 0, 0},
                            {0, MidiEventType::NoteOn, 0, 60, 64},
                            {0, MidiEventType::NoteOn, 1, 48, 64},
                            {5, MidiEventType::NoteOff, 1, 48, 0},
                            {10, MidiEventType::Tempo, 0, 0, 0},
                            {10, MidiEventType::NoteOff, 0, 60, 0},
                            {10, MidiEventType::NoteOn, 0, 62, 64},
                            {10, MidiEventType::NoteOn, 1, 50, 64}});
    EXPECT_EQ(sequence.events[4].microsecondsPerQuarter, 250000u);
    EXPECT_EQ(sequence.events[7].track, 2);
    EXPECT_EQ(sequence.endTick, 30u) << "the longest track, its trailing end-of-track delta included";
}

TEST(MidiFileReader, SkipsUnknownChunksAndIgnoresBytesAfterEndOfTrack)
{
    auto file = smfHeader(0, 1, 96);
    file.insert(file.end(), {'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3});
    Taviro::Test::appendTrack(file, {0x00, 0x90, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 0x41});
    auto sequence = parseMidiFile(file);
    expectEvents(sequence, {{0, MidiEventType::NoteOn, 0, 64, 64}});
}

TEST(MidiFileReader, ReadsSmpteDivision)
{
    auto sequence = parseMidiFile(smfFile(0, 0xE728, {{0x00, 0xFF, 0x2F, 0x00}}));
    EXPECT_TRUE(sequence.division.isSmpte());
    EXPECT_EQ(sequence.division.framesPerSecond, 25);
    EXPECT_EQ(sequence.division.ticksPerFrame, 40);
}

TEST(MidiFileReader, RejectsMalformedFilesWithAMessageThatSaysWhy)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    const Case cases[] = {
        {"not a MIDI file", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, "MThd"},
        {"empty", {}, "MThd"},
        {"format 2", smfFile(2, 96, {{0x00, 0xFF, 0x2F, 0x00}}), "format 2"},
        {"format 0 with two tracks", smfFile(0, 96, {{0x00, 0xFF, 0x2F, 0x00}, {0x00, 0xFF, 0x2F, 0x00}}),
         "format 0"},
        {"no tracks", smfHeader(1, 0, 96), "no tracks"},
        {"zero division", smfFile(0, 0, {{0x00, 0xFF, 0x2F, 0x00}}), "division"},
        {"bad SMPTE rate", smfFile(0, 0xE028, {{0x00, 0xFF, 0x2F, 0x00}}), "SMPTE"},
        {"data byte first", smfFile(0, 96, {{0x00, 0x3C, 0x40}}), "without a status byte"},
        {"real-time status", smfFile(0, 96, {{0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00}}), "0xF8"},
        {"data byte above 127", smfFile(0, 96, {{0x00, 0x90, 0x3C, 0xC0}}), "above 127"},
        {"five-byte delta", smfFile(0, 96, {{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40}}), "four bytes"},
        {"short tempo", smfFile(0, 96, {{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}}), "tempo"},
        {"zero tempo", smfFile(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0, 0, 0}}), "zero"},
        {"event runs past its chunk", smfFile(0, 96, {{0x00, 0x90, 0x3C}}), "truncated"},
        {"meta runs past its chunk", smfFile(0, 96, {{0x00, 0xFF, 0x01, 0x10, 'a'}}), "truncated"},
    };
    for (const Case& c : cases)
    {
        std::string message = errorOf(c.bytes);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": \"" << message << "\"";
    }
}

TEST(MidiFileReader, EveryTruncationOfAValidFileIsReportedAsAnError)
{
    auto file = richFile();
    ASSERT_NO_THROW(parseMidiFile(file));
    for (std::size_t length = 0; length < file.size(); ++length)
    {
        std::vector<std::uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
        EXPECT_THROW(parseMidiFile(prefix), MidiFileError) << "cut after " << length << " bytes";
    }
    auto truncatedTrack = richFile();
    truncatedTrack.resize(truncatedTrack.size() - 3);
    EXPECT_NE(errorOf(truncatedTrack).find("truncated"), std::string::npos);
}

TEST(MidiFileReader, CorruptedBytesGiveEitherASequenceOrAMidiFileError)
{
    auto original = richFile();
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round)
    {
        auto bytes = original;
        int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        try
        {
            auto sequence = parseMidiFile(bytes);
            for (const MidiEvent& event : sequence.events)
            {
                ASSERT_LT(event.channel, 16);
                ASSERT_LT(event.data1 | event.data2, 128);
                ASSERT_LE(event.tick, sequence.endTick);
            }
        }
        catch (const MidiFileError&)
        {
        }
    }
}

TEST(MidiFileReader, FileErrorsNameThePath)
{
    try
    {
        readMidiFile("/nonexistent/folder/song.mid");
        FAIL() << "a missing file was read";
    }
    catch (const MidiFileError& error)
    {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/folder/song.mid"), std::string::npos);
    }
    EXPECT_THROW(readMidiFile("/"), MidiFileError);

    std::string path = testing::TempDir() + "broken.mid";
    auto bytes = richFile();
    bytes.resize(20);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    try
    {
        readMidiFile(path);
        FAIL() << "a truncated file was read";
    }
    catch (const MidiFileError& error)
    {
        std::string message = error.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find("truncated"), std::string::npos) << message;
    }
    std::remove(path.c_str());
}
