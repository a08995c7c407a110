#include "tools/render/MidiTiming.h"
#include "tests/render/SmfBytes.h"

#include <gtest/gtest.h>

using namespace Taviro::Render;
using Taviro::Test::smfFile;

namespace
{

MidiSequence withTempos(int ticksPerQuarter,
                        std::initializer_list<std::pair<std::uint64_t, std::uint32_t>> tempos)
{
    MidiSequence sequence;
    sequence.division.ticksPerQuarter = ticksPerQuarter;
    for (auto [tick, tempo] : tempos)
    {
        MidiEvent event;
        event.tick = tick;
        event.type = MidiEventType::Tempo;
        event.microsecondsPerQuarter = tempo;
        sequence.events.push_back(event);
    }
    return sequence;
}

} // namespace

TEST(TempoMap, WithoutTempoEventsPlaysAt120BeatsPerMinute)
{
    TempoMap map(withTempos(480, {}), 48000);
    EXPECT_EQ(map.sampleAt(0), 0);
    EXPECT_EQ(map.sampleAt(480), 24000); // half a second
    EXPECT_EQ(map.sampleAt(1), 50);      // 1041.67 microseconds
    EXPECT_DOUBLE_EQ(map.secondsAt(960), 1.0);
}

TEST(TempoMap, TempoChangeInTheMiddleAppliesFromItsTickOn)
{
    // 500000 us per quarter for two quarters, then 250000: tick 1440 is 1.0 + 0.25 seconds.
    auto file = smfFile(
        0, 480, {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0x90, 0x3C, 0x40, 0x83, 0x60, 0xFF,
                  0x51, 0x03, 0x03, 0xD0, 0x90, 0x83, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}});
    auto sequence = parseMidiFile(file);
    TempoMap map(sequence, 48000);
    EXPECT_EQ(map.sampleAt(480), 24000);
    EXPECT_EQ(map.sampleAt(960), 48000);
    EXPECT_EQ(map.sampleAt(1440), 60000);
    EXPECT_EQ(map.sampleAt(1200), 54000);

    auto scheduled = scheduleEvents(sequence, map);
    ASSERT_EQ(scheduled.size(), 2u) << "tempo events are not scheduled";
    EXPECT_EQ(scheduled[0].sample, 24000);
    EXPECT_EQ(scheduled[0].event.type, MidiEventType::NoteOn);
    EXPECT_EQ(scheduled[1].sample, 60000);
}

TEST(TempoMap, RoundsToTheNearestSampleWithoutDrift)
{
    // 100 beats per minute at 96 ticks per quarter: one tick is 6250 us, 275.625 samples at 44.1 kHz.
    TempoMap map(withTempos(96, {{0, 600000}}), 44100);
    EXPECT_EQ(map.sampleAt(1), 276);
    EXPECT_EQ(map.sampleAt(7), 1929);         // 1929.375
    EXPECT_EQ(map.sampleAt(2), 551);          // 551.25
    EXPECT_EQ(map.sampleAt(96000), 26460000); // 1000 beats, exactly 600 s

    // A tempo that divides nothing evenly, after a change: 140 bpm (428571 us) from tick 480 on.
    TempoMap changed(withTempos(480, {{0, 500000}, {480, 428571}}), 48000);
    // 480 ticks at 500000 plus 480000 ticks at 428571 us per quarter: 0.5 + 428.571 s.
    EXPECT_EQ(changed.sampleAt(480 + 480000), 24000 + 20571408);
}

TEST(TempoMap, LaterTempoAtTheSameTickWins)
{
    TempoMap map(withTempos(480, {{0, 1000000}, {0, 250000}}), 48000);
    EXPECT_EQ(map.sampleAt(480), 12000);
}

TEST(TempoMap, SmpteDivisionCountsTicksPerSecondAndIgnoresTempo)
{
    MidiSequence sequence = withTempos(0, {{0, 1000000}});
    sequence.division = {0, 25, 40}; // 1000 ticks per second
    TempoMap map(sequence, 48000);
    EXPECT_EQ(map.sampleAt(1000), 48000);
    EXPECT_EQ(map.sampleAt(1), 48);

    sequence.division = {0, 29, 1}; // 29.97 frames per second
    TempoMap dropFrame(sequence, 48000);
    EXPECT_EQ(dropFrame.sampleAt(30), 48048); // 30 frames last 1.001 s
}

TEST(BlockCursor, HandsOutEventsAtTheirOffsetInsideEachBlock)
{
    std::vector<ScheduledEvent> events;
    for (std::int64_t sample : {0, 511, 512, 1000, 1023, 1024, 5000})
    {
        MidiEvent event;
        event.data1 = static_cast<std::uint8_t>(sample % 128);
        events.push_back({sample, event});
    }
    BlockCursor cursor(events);
    std::vector<std::pair<std::int64_t, std::int32_t>> seen;
    for (std::int64_t start = 0; start < 2048; start += 512)
        cursor.forEachInBlock(
            start, 512, [&](const MidiEvent&, std::int32_t offset) { seen.emplace_back(start, offset); });
    std::vector<std::pair<std::int64_t, std::int32_t>> expected{{0, 0},     {0, 511},   {512, 0},
                                                                {512, 488}, {512, 511}, {1024, 0}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(cursor.finished());

    // Skipping ahead delivers the overdue event at the start of the block instead of losing it.
    std::vector<std::int32_t> late;
    cursor.forEachInBlock(6000, 64,
                          [&](const MidiEvent& event, std::int32_t offset)
                          {
                              EXPECT_EQ(event.data1, 5000 % 128);
                              late.push_back(offset);
                          });
    EXPECT_EQ(late, std::vector<std::int32_t>{0});
    EXPECT_TRUE(cursor.finished());
}
