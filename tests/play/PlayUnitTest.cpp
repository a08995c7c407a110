// taviro-play's pieces that need no server: live MIDI messages, the state file's damage checks, the
// queue between threads and the content scale.

#include "tools/play/MidiMessage.h"
#include "tools/play/SpscQueue.h"
#include "tools/play/StateFile.h"
#include "tools/play/X11EditorWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace Taviro::Test {
namespace {

using Render::MidiEventType;

TEST(MidiMessage, ChannelMessagesAreReadAndEverythingElseIsLeftOut)
{
    struct Case
    {
        std::vector<std::uint8_t> bytes;
        bool valid;
        MidiEventType type;
        int channel, data1, data2;
    };
    const Case cases[] = {
        {{0x90, 60, 100}, true, MidiEventType::NoteOn, 0, 60, 100},
        {{0x9F, 127, 1}, true, MidiEventType::NoteOn, 15, 127, 1},
        {{0x93, 60, 0}, true, MidiEventType::NoteOff, 3, 60, 0}, // velocity 0 ends the note
        {{0x85, 61, 64}, true, MidiEventType::NoteOff, 5, 61, 64},
        {{0xA0, 60, 50}, true, MidiEventType::PolyPressure, 0, 60, 50},
        {{0xB9, 7, 100}, true, MidiEventType::ControlChange, 9, 7, 100},
        {{0xC1, 11}, true, MidiEventType::ProgramChange, 1, 11, 0},
        {{0xD2, 90}, true, MidiEventType::ChannelPressure, 2, 90, 0},
        {{0xE4, 0x7F, 0x7F}, true, MidiEventType::PitchBend, 4, 0x7F, 0x7F},
        {{0x90, 60}, false, {}, 0, 0, 0},      // cut short
        {{0xC0}, false, {}, 0, 0, 0},          // cut short
        {{0x90, 0x80, 1}, false, {}, 0, 0, 0}, // a status byte where data belongs
        {{0xB0, 7, 0xFF}, false, {}, 0, 0, 0},
        {{60, 100}, false, {}, 0, 0, 0},          // running status is not used on live ports
        {{0xF8}, false, {}, 0, 0, 0},             // clock
        {{0xF0, 1, 2, 0xF7}, false, {}, 0, 0, 0}, // system exclusive
        {{}, false, {}, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        auto event = Play::parseMidiMessage(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(event.has_value(), c.valid) << testing::PrintToString(c.bytes);
        if (!event)
            continue;
        EXPECT_EQ(event->type, c.type);
        EXPECT_EQ(event->channel, c.channel);
        EXPECT_EQ(event->data1, c.data1);
        EXPECT_EQ(event->data2, c.data2);
    }
    // Longer messages carry their extra bytes unread.
    const std::uint8_t longer[] = {0xC0, 5, 99};
    EXPECT_EQ(Play::parseMidiMessage(longer, 3)->data1, 5);
}

TEST(StateFile, EveryCutAndEveryChangedByteIsDamage)
{
    Play::SavedState state{{1, 2, 3, 4, 5, 6, 7, 8, 9}, {}};
    const auto bytes = Play::encodeState(state);
    // Magic, version, two lengths, the streams, the checksum.
    ASSERT_EQ(bytes.size(), 8u + 4 + 4 + 9 + 4 + 0 + 4);
    const auto decoded = Play::decodeState(bytes);
    EXPECT_EQ(decoded.processor, state.processor);
    EXPECT_TRUE(decoded.controller.empty());

    for (std::size_t length = 0; length < bytes.size(); ++length)
        EXPECT_THROW(Play::decodeState(std::span(bytes).first(length)), Play::StateFileError) << length;
    for (std::size_t at = 0; at < bytes.size(); ++at)
    {
        auto changed = bytes;
        changed[at] ^= 0x10;
        EXPECT_THROW(Play::decodeState(changed), Play::StateFileError) << at;
    }
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_THROW(Play::decodeState(longer), Play::StateFileError);
    // A length beyond the file is damage, not a huge allocation.
    auto huge = bytes;
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
    EXPECT_THROW(Play::decodeState(huge), Play::StateFileError);
}

TEST(SpscQueue, RefusesWhenFullKeepsOrderAndCrossesThreads)
{
    Play::SpscQueue<int> queue(5); // room for at least five
    int pushed = 0;
    while (queue.push(pushed))
        ++pushed;
    EXPECT_GE(pushed, 5);
    EXPECT_LT(pushed, 16);
    int value = -1;
    for (int i = 0; i < pushed; ++i)
    {
        ASSERT_TRUE(queue.pop(value));
        EXPECT_EQ(value, i);
    }
    EXPECT_FALSE(queue.pop(value));

    // One producer, one consumer, many laps round the ring: nothing lost, nothing reordered.
    constexpr int count = 20000;
    std::thread producer([&] {
        for (int i = 0; i < count;)
            if (queue.push(i))
                ++i;
    });
    int expected = 0, outOfOrder = 0;
    while (expected < count)
    {
        if (queue.pop(value))
            outOfOrder += value != expected++;
    }
    producer.join();
    EXPECT_EQ(outOfOrder, 0);
}

TEST(ContentScale, WholeQuartersOf96DpiFromOneToFour)
{
    const std::pair<double, double> cases[] = {{0, 1},      {-5, 1},    {72, 1},  {96, 1},  {110, 1.25},
                                               {120, 1.25}, {144, 1.5}, {192, 2}, {1000, 4}};
    for (auto [dpi, scale] : cases)
        EXPECT_EQ(Play::contentScaleForDpi(dpi), scale) << dpi;
}

} // namespace
} // namespace Taviro::Test
