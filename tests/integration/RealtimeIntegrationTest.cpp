// Real-time safety through the bundle: no heap allocation inside process, and restores from the
// main thread while the audio thread processes never show half a state.

#include "tests/support/HostedPlugIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Taviro::Test::HostedPlugIn;

namespace {

// Allocations are counted while this is set. The module's allocations go through the operator
// new of this program, which replaces the library's for every loaded object.
std::atomic<bool> countAllocations{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size)
{
    if (countAllocations.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (countAllocations.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

TEST(RealtimeIntegrationTest, TheAllocationCounterSeesTheModulesAllocations)
{
    // Creating a processor inside the module allocates; if the counter missed that, a zero in the
    // test below would prove nothing.
    countAllocations = true;
    allocations = 0;
    {
        HostedPlugIn plugIn;
    }
    countAllocations = false;
    EXPECT_GT(allocations.load(), 0);
}

TEST(RealtimeIntegrationTest, ProcessNeverAllocatesWithNotesParameterAndProgramChanges)
{
    for (int32 sampleSize : {kSample32, kSample64})
    {
        HostedPlugIn plugIn;
        ASSERT_TRUE(plugIn.start(sampleSize, 48000.0, 128));
        long counted = 0;
        for (int32 block = 0; block < 400; ++block)
        {
            // Notes on every channel, ending a few blocks later.
            const int16 channel = static_cast<int16>(block % 16);
            const int16 pitch = static_cast<int16>(36 + block % 48);
            Event on = makeNoteOn(block % 100, channel, pitch, 0.9f, block);
            plugIn.events.addEvent(on);
            if (block >= 6)
            {
                Event off = makeNoteOff(5, static_cast<int16>((block - 6) % 16),
                                        static_cast<int16>(36 + (block - 6) % 48), 0.f, block - 6);
                plugIn.events.addEvent(off);
            }
            // Oscillator edits, performance controls and a program change now and then.
            plugIn.inputChanges.addChange(static_cast<ParamID>(49 * channel + block % 42), (block % 10) / 10.0);
            plugIn.inputChanges.addChange(static_cast<ParamID>(49 * channel + 44), (block % 7) / 7.0);
            if (block % 25 == 0)
                plugIn.inputChanges.addChange(static_cast<ParamID>(49 * channel + 46), (block % 19) / 19.0);

            countAllocations = true;
            allocations = 0;
            const tresult result = plugIn.run();
            countAllocations = false;
            counted += allocations.load();
            ASSERT_EQ(result, kResultOk);
        }
        EXPECT_EQ(counted, 0) << (sampleSize == kSample32 ? "32 bit" : "64 bit");
    }
}

// Two states that differ in every persisted double and in the first bytes of every record.
std::vector<unsigned char> patternedStream(HostedPlugIn& plugIn, double base)
{
    std::vector<unsigned char> bytes = plugIn.state();
    for (size_t record = 0; record < 20; ++record)
    {
        const size_t start = record < 16 ? 8 + 262 * record : 4200 + 261 * (record - 16);
        for (size_t osc = 0; osc < 3; ++osc)
            for (size_t field = 0; field < 8; ++field)
                Taviro::Test::putDouble(bytes, start + 84 * osc + 8 * field, base + 0.001 * field);
        Taviro::Test::putDouble(bytes, start + 252, base);
    }
    return bytes;
}

TEST(RealtimeIntegrationTest, RestoresWhileProcessingAreNeverSeenHalfDone)
{
    HostedPlugIn plugIn;
    ASSERT_TRUE(plugIn.start(kSample32, 48000.0, 64));
    const std::vector<unsigned char> streams[2] = {patternedStream(plugIn, 0.25), patternedStream(plugIn, 0.75)};

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::thread audio([&] {
        while (!stop)
        {
            Event note = makeNoteOn(0, static_cast<int16>(blocks % 16), 60, 0.5f);
            plugIn.events.addEvent(note);
            plugIn.run();
            ++blocks;
        }
    });
    int torn = 0;
    int stale = 0;
    constexpr int kRestores = 500;
    for (int i = 1; i <= kRestores; ++i)
    {
        ASSERT_EQ(plugIn.restore(streams[i % 2]), kResultOk);
        // The newest state at once, whether or not a block has taken it over yet.
        if (plugIn.state() != streams[i % 2])
            ++stale;
        const long target = blocks + 2;
        while (blocks < target)
        {
            const std::vector<unsigned char> written = plugIn.state();
            if (written != streams[0] && written != streams[1])
                ++torn;
        }
    }
    stop = true;
    audio.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(stale, 0);
    EXPECT_EQ(plugIn.state(), streams[kRestores % 2]);
}

} // namespace
