#include "tools/render/MidiFile.h"
#include "tools/render/MidiTiming.h"
#include "tools/render/MidiTranslator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <vector>

using namespace Taviro::Render;
using enum MidiEventType;

namespace
{

using Byte = std::uint8_t;
using Bytes = std::vector<Byte>;

void appendChunk(Bytes& file, const char* id, const Bytes& body)
{
    file.insert(file.end(), id, id + 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(Byte(body.size() >> shift));
    file.insert(file.end(), body.begin(), body.end());
}

// A hand-made Standard MIDI File image.
Bytes smfFile(int format, int division, std::initializer_list<Bytes> tracks, int trackCount = -1)
{
    Bytes file;
    int count = trackCount < 0 ? static_cast<int>(tracks.size()) : trackCount;
    appendChunk(file, "MThd",
                {0, Byte(format), Byte(count >> 8), Byte(count), Byte(division >> 8), Byte(division)});
    for (const Bytes& track : tracks)
        appendChunk(file, "MTrk", track);
    return file;
}

// The events in a line each: tick, kind, channel and data bytes, or a tempo's microseconds per quarter.
std::string describe(const MidiSequence& sequence)
{
    const char* kinds[] = {"off", "on", "poly", "cc", "program", "pressure", "bend", "tempo"};
    std::string out;
    for (const MidiEvent& e : sequence.events)
        out += std::to_string(e.tick) + " " + kinds[static_cast<int>(e.type)] + " " +
               (e.type == Tempo ? std::to_string(e.microsecondsPerQuarter)
                                : std::to_string(e.channel) + " " + std::to_string(e.data1) + " " +
                                      std::to_string(e.data2)) +
               "\n";
    return out;
}

std::string errorOf(const Bytes& bytes)
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

const Bytes endOfTrack{0x00, 0xFF, 0x2F, 0x00};

// One track of format 0 with a little of everything.
Bytes richFile()
{
    return smfFile(0, 96, {{0x00, 0xFF, 0x03, 0x04, 'S',  'o',  'n',  'g', // track name
                            0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,      // tempo 600000
                            0x00, 0xC2, 0x05,                              // program change
                            0x00, 0x92, 0x3C, 0x64,                        // note on C4
                            0x10, 0x3E, 0x50,                              // running status: note on D4
                            0x10, 0x3C, 0x00,                              // velocity 0: C4 off
                            0x00, 0xFF, 0x01, 0x01, 'x',                   // a text event in between
                            0x08, 0x3E, 0x00,                              // running status still holds
                            0x60, 0xE2, 0x00, 0x50,                        // pitch bend
                            0x81, 0x00, 0x82, 0x3C, 0x40,                  // note off after 128 ticks
                            0x00, 0xF0, 0x03, 0x7E, 0x01, 0xF7,            // system exclusive
                            0x00, 0xB2, 0x07, 0x50, 0x04, 0x40, 0x7F,      // control changes, running
                            0x00, 0xFF, 0x2F, 0x00}});                     // end of track
}

// Writes down what the translator sends: notes with their velocity in MIDI steps and their note ID
// numbered in order of appearance, parameter changes as id=value.
struct Log
{
    std::string text;
    std::map<std::int32_t, std::size_t> ids;
    std::vector<ParameterCommand> parameters;

    void note(const NoteCommand& c)
    {
        EXPECT_GE(c.noteId, 0) << "-1 would make the plug-in match by pitch";
        text += (c.on ? "on " : "off ") + std::to_string(c.channel) + " " + std::to_string(c.pitch) + " v" +
                std::to_string(std::lround(c.velocity * 127)) + " #" +
                std::to_string(ids.emplace(c.noteId, ids.size()).first->second) + "\n";
    }
    void parameter(const ParameterCommand& c)
    {
        text += std::to_string(c.id) + "=" + std::to_string(c.value) + "\n";
        parameters.push_back(c);
    }
};

MidiEvent event(MidiEventType type, int channel, int data1, int data2 = 0)
{
    return {.type = type, .channel = Byte(channel), .data1 = Byte(data1), .data2 = Byte(data2)};
}

// The mapping the instrument publishes: mod wheel, volume, pan and pitch bend of each channel.
std::optional<std::uint32_t> instrumentMapping(int channel, int controller)
{
    const std::map<int, std::uint32_t> offsets{{1, 43}, {7, 47}, {10, 48}, {129, 44}};
    auto found = offsets.find(controller);
    if (found == offsets.end())
        return std::nullopt;
    return 49u * static_cast<unsigned>(channel) + found->second;
}

} // namespace

TEST(MidiFileReader, KeepsChannelEventsWithRunningStatusAndTempoAndSkipsOtherMetaAndSystemExclusive)
{
    auto sequence = parseMidiFile(richFile());
    EXPECT_EQ(describe(sequence),
              "0 tempo 600000\n0 program 2 5 0\n0 on 2 60 100\n16 on 2 62 80\n32 off 2 60 0\n"
              "40 off 2 62 0\n136 bend 2 0 80\n264 off 2 60 64\n264 cc 2 7 80\n"
              "268 cc 2 64 127\n");
    EXPECT_EQ(sequence.endTick, 268u);

    // An unknown chunk before the track and bytes after the end of the track are ignored.
    auto file = smfFile(0, 96, {}, 1);
    appendChunk(file, "XFIH", {1, 2, 3});
    appendChunk(file, "MTrk", {0x00, 0x90, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 0x41});
    EXPECT_EQ(describe(parseMidiFile(file)), "0 on 0 64 64\n");
}

TEST(MidiFileReader, MergesFormatOneTracksByTickThenTrackOrderAndTimesThemByTheTempoMap)
{
    auto file = smfFile(
        1, 480,
        {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x0A, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xFF,
          0x2F, 0x00},
         {0x00, 0x90, 0x3C, 0x40, 0x0A, 0x80, 0x3C, 0x00, 0x00, 0x90, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00},
         {0x00, 0x91, 0x30, 0x40, 0x05, 0x81, 0x30, 0x00, 0x05, 0x91, 0x32, 0x40, 0x14, 0xFF, 0x2F, 0x00}});
    auto sequence = parseMidiFile(file);
    EXPECT_EQ(describe(sequence), "0 tempo 500000\n0 on 0 60 64\n0 on 1 48 64\n5 off 1 48 0\n"
                                  "10 tempo 250000\n10 off 0 60 0\n10 on 0 62 64\n10 on 1 50 64\n");
    EXPECT_EQ(sequence.events[7].track, 2);

    // The tempo change in the middle applies from its tick on: ticks of 1041.67 us up to tick 10,
    // then of 520.83 us. Tempo events themselves are not scheduled.
    TempoMap map(sequence, 48000);
    EXPECT_EQ(map.sampleAt(20), 500 + 250);
    EXPECT_EQ(map.sampleAt(30), 500 + 500);
    std::vector<std::int64_t> samples;
    for (const ScheduledEvent& event : scheduleEvents(sequence, map))
        samples.push_back(event.sample);
    EXPECT_EQ(samples, (std::vector<std::int64_t>{0, 0, 250, 500, 500, 500}));
    EXPECT_EQ(sequence.endTick, 30u) << "the longest track, its trailing end-of-track delta included";
}

TEST(MidiFileReader, RejectsMalformedAndEveryTruncatedFileWithAMessageThatSaysWhy)
{
    const struct
    {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"not a MIDI file", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, "MThd"},
        {"format 2", smfFile(2, 96, {endOfTrack}), "format 2"},
        {"format 0 with two tracks", smfFile(0, 96, {endOfTrack, endOfTrack}), "format 0"},
        {"no tracks", smfFile(1, 96, {}), "no tracks"},
        {"zero division", smfFile(0, 0, {endOfTrack}), "division"},
        {"bad SMPTE rate", smfFile(0, 0xE028, {endOfTrack}), "SMPTE"},
        {"data byte first", smfFile(0, 96, {{0x00, 0x3C, 0x40}}), "without a status byte"},
        {"real-time status", smfFile(0, 96, {{0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00}}), "0xF8"},
        {"data byte above 127", smfFile(0, 96, {{0x00, 0x90, 0x3C, 0xC0}}), "above 127"},
        {"five-byte delta", smfFile(0, 96, {{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40}}), "four bytes"},
        {"short tempo", smfFile(0, 96, {{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1}}), "tempo"},
        {"zero tempo", smfFile(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0, 0, 0}}), "zero"},
        {"event runs past its chunk", smfFile(0, 96, {{0x00, 0x90, 0x3C}}), "truncated"},
        {"meta runs past its chunk", smfFile(0, 96, {{0x00, 0xFF, 0x01, 0x10, 'a'}}), "truncated"},
    };
    for (const auto& c : cases)
    {
        std::string message = errorOf(c.bytes);
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": \"" << message << "\"";
    }

    auto file = richFile();
    for (std::size_t length = 0; length < file.size(); ++length)
        EXPECT_NE(errorOf(Bytes(file.begin(), file.begin() + static_cast<long>(length))), "")
            << "cut after " << length << " bytes";
}

TEST(TempoMap, ConvertsTicksToTheNearestSampleWithoutDrift)
{
    auto sampleAt = [](MidiDivision division, std::vector<std::pair<std::uint64_t, std::uint32_t>> tempos,
                       int sampleRate, std::uint64_t tick)
    {
        MidiSequence sequence;
        sequence.division = division;
        for (auto [at, tempo] : tempos)
            sequence.events.push_back({.tick = at, .type = Tempo, .microsecondsPerQuarter = tempo});
        return TempoMap(sequence, sampleRate).sampleAt(tick);
    };
    // Without tempo events: 120 bpm.
    EXPECT_EQ(sampleAt({480}, {}, 48000, 480), 24000);
    // 100 bpm at 96 per quarter: one tick is 6250 us, 275.625 samples at 44.1 kHz.
    EXPECT_EQ(sampleAt({96}, {{0, 600000}}, 44100, 1), 276);
    EXPECT_EQ(sampleAt({96}, {{0, 600000}}, 44100, 7), 1929); // 1929.375
    EXPECT_EQ(sampleAt({96}, {{0, 600000}}, 44100, 96000), 26460000);
    // 0.5 s, then 1000 quarters at 140 bpm (428571 us): 428.571 s.
    EXPECT_EQ(sampleAt({480}, {{0, 500000}, {480, 428571}}, 48000, 480 + 480000), 24000 + 20571408);
    EXPECT_EQ(sampleAt({480}, {{0, 1000000}, {0, 250000}}, 48000, 480), 12000) << "the later tempo wins";
    // SMPTE: 25 frames of 40 ticks are 1000 ticks per second, whatever the tempo; 30 frames of
    // 29.97 drop-frame last 1.001 s.
    EXPECT_EQ(sampleAt({0, 25, 40}, {{0, 1000000}}, 48000, 1000), 48000);
    EXPECT_EQ(sampleAt({0, 29, 1}, {}, 48000, 30), 48048);
    // 2^44 quarters of 16.8 s at one tick per quarter are 1.4e19 samples, past 64 bits: the
    // position saturates, so the song reads as too long instead of wrapping below zero.
    EXPECT_EQ(sampleAt({1}, {{0, 0xFFFFFF}}, 48000, std::uint64_t(1) << 44),
              std::numeric_limits<std::int64_t>::max());
    auto smpte = parseMidiFile(smfFile(0, 0xE728, {endOfTrack})).division;
    EXPECT_EQ(smpte.framesPerSecond * 1000 + smpte.ticksPerFrame, 25040);
}

// A plug-in may only be handed offsets inside the block: an event on a block boundary belongs to
// the block that starts there, for any block size; one the caller skipped past comes at the start of
// the next block it asks for, not lost.
TEST(BlockCursor, HandsOutEventsAtTheirOffsetInsideEachBlockAndOverdueOnesAtTheStart)
{
    for (std::int32_t blockSize : {1, 480, 512, 1000})
    {
        const std::int64_t b = blockSize;
        std::vector<ScheduledEvent> events;
        for (std::int64_t sample : {std::int64_t(0), b - 1, b, b + 1, 3 * b, 5 * b + b / 2})
            events.push_back({sample, MidiEvent{.data1 = Byte(events.size())}});
        BlockCursor cursor(events);
        std::vector<std::pair<int, std::int64_t>> delivered;                 // event and block start + offset
        for (std::int64_t start : {std::int64_t(0), b, 2 * b, 3 * b, 7 * b}) // 4b to 7b skipped
            cursor.forEachInBlock(start, blockSize, [&](const MidiEvent& event, std::int32_t offset) {
                EXPECT_TRUE(offset >= 0 && offset < blockSize)
                    << "offset " << offset << " in blocks of " << blockSize;
                delivered.emplace_back(event.data1, start + offset);
            });
        const std::vector<std::pair<int, std::int64_t>> expected{{0, 0},     {1, b - 1}, {2, b},
                                                                 {3, b + 1}, {4, 3 * b}, {5, 7 * b}};
        EXPECT_EQ(delivered, expected) << "blocks of " << blockSize;
        EXPECT_TRUE(cursor.finished());
    }
}

TEST(MidiTranslator, NoteOffsEndTheirOwnNoteOnsOldestFirstStrayOnesAreDroppedAndHangingOnesReleased)
{
    MidiTranslator translator(instrumentMapping);
    Log log;
    for (const MidiEvent& e : {event(NoteOn, 2, 60, 127), event(NoteOn, 2, 60, 64), // same key again
                               event(NoteOn, 3, 60, 1),                             // other channel
                               event(NoteOff, 2, 60), event(NoteOff, 5, 61),        // never started
                               event(NoteOff, 2, 60, 100), event(NoteOff, 2, 60)})  // one too many
        translator.translate(e, log);
    // Stopping releases what still sounds, once.
    translator.releaseAll(log);
    translator.releaseAll(log);
    EXPECT_EQ(log.text, "on 2 60 v127 #0\non 2 60 v64 #1\non 3 60 v1 #2\noff 2 60 v0 #0\noff 2 60 v100 #1\n"
                        "off 3 60 v0 #2\n");
}

// Live playing can hold a key longer than the translator remembers: the oldest note is then left to
// the plug-in, and the remembered ones still end in order.
TEST(MidiTranslator, MoreHeldNotesOfOneKeyThanItRemembersForgetsTheOldest)
{
    MidiTranslator translator(instrumentMapping);
    Log log;
    const int notes = MidiTranslator::heldPerKey + 3;
    for (int i = 0; i < 2 * notes; ++i)
        translator.translate(event(i < notes ? NoteOn : NoteOff, 2, 60, 90), log);
    std::string expected;
    for (int i = 0; i < 2 * notes; ++i)
        if (i < notes || i >= notes + 3)
            expected += (i < notes ? "on 2 60 v90 #" : "off 2 60 v90 #") + std::to_string(i % notes) + "\n";
    EXPECT_EQ(log.text, expected);
}

TEST(MidiTranslator, ProgramChangesControllersAndPitchBendBecomeParameterChanges)
{
    MidiTranslator translator(instrumentMapping);
    Log log;
    // Programs 0, 11 and 18 of 19 on channel indices 0, 4 and 15, none for 19, the one kit on drums.
    for (auto [channel, program] : {std::pair{0, 0}, {4, 11}, {15, 18}, {1, 19}, {9, 25}})
        translator.translate(event(ProgramChange, channel, program), log);
    ASSERT_EQ(log.parameters.size(), 4u);
    const int expected[][3] = {{0, 0, 19}, {4, 11, 19}, {15, 18, 19}, {9, 0, 1}};
    for (std::size_t i = 0; i < 4; ++i)
    {
        // The processor takes min(programs - 1, trunc(value x programs)) as the program.
        auto [channel, program, count] = expected[i];
        EXPECT_EQ(log.parameters[i].id, 49u * static_cast<unsigned>(channel) + 46) << i;
        EXPECT_EQ(std::min(count - 1, static_cast<int>(log.parameters[i].value * count)), program) << i;
    }

    log.text.clear();
    for (const MidiEvent& e : {event(ControlChange, 1, 1, 127),  // mod wheel
                               event(ControlChange, 1, 7, 0),    // volume
                               event(ControlChange, 1, 64, 127), // sustain: unmapped
                               event(ChannelPressure, 1, 90),    // unmapped
                               event(PolyPressure, 1, 60, 90),   // unmapped
                               event(PitchBend, 1, 0x00, 0x40),  // centre
                               event(PitchBend, 1, 0x00, 0x00),  // full down
                               event(PitchBend, 1, 0x7F, 0x7F),  // full up
                               event(ControlChange, 1, 10, 64)}) // pan: 64 / 127
        translator.translate(e, log);
    EXPECT_EQ(log.text, "92=1.000000\n96=0.000000\n93=0.500000\n93=0.000000\n93=1.000000\n97=0.503937\n");
}
