#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements below pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Every heap allocation of this test program passes through here and is counted while armed.
namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace Taviro::Test {
namespace {

template <typename T>
long allocationsWhilePlaying()
{
    GlobalParameterState state = neutralState(1);
    for (int32 ch = 0; ch < kNumChannels; ++ch)
    {
        OscillatorSettings* o = state.oscillators[ch];
        o[0].filterType = 1;
        o[1] = plainOscillator(static_cast<int8>(2 + ch % 4));
        o[1].filterType = 3;
        o[2] = plainOscillator(6);
        o[2].multiSample = 2;
        o[2].filterType = 2;
        for (int32 i = 0; i < kNumOscillators; ++i)
            o[i].releaseTime = 0.2;
        state.receiveNoteOff[ch] = static_cast<int8>(ch % 2);
    }
    EngineHarness<T> h(state, 48000.0f);
    std::vector<uint8> storage;
    std::vector<int16> codes(30000, 500);
    fillBank(h.bank, 1, recording16(storage, codes, 2, 44100), 60);

    // Every block's events are built before counting starts.
    std::vector<EventList> blocks(40);
    for (int32 b = 0; b < 40; ++b)
    {
        blocks[b].events.reserve(80);
        for (int32 n = 0; n < 24; ++n)
        {
            const int16 ch = static_cast<int16>((b + n) % 16);
            const int16 pitch = static_cast<int16>(30 + (b * 7 + n * 5) % 70);
            blocks[b].noteOn(ch, pitch, (n * 21) % 512, 0.8f, b * 100 + n);
            if (b > 0)
                blocks[b].noteOff(static_cast<int16>((b - 1 + n) % 16), 0, (n * 13) % 512, (b - 1) * 100 + n);
            blocks[b].expression(100000 + ch, b * 100 + n, 0.3);
            blocks[b].expression(100016 + ch, b * 100 + n, 0.2);
        }
    }

    allocations = 0;
    int32 busiest = 0;
    for (int32 b = 0; b < 40; ++b)
    {
        for (int32 ch = 0; ch < kNumChannels; ++ch)
        {
            h.state.oscillators[ch][0].filterFrequency = 0.2 + 0.02 * b;
            h.state.oscillators[ch][1].filterQ = 0.01 * b;
            h.state.oscillators[ch][2].detune = b % 2 ? 0.5 : -0.5;
            h.state.modWheel[ch] = 0.025 * b;
            h.state.pitchBend[ch] = b % 3 ? 1.0 : 0.97;
        }
        h.data.numSamples = 512;
        h.data.inputEvents = &blocks[b];
        counting = true;
        h.pool->process(h.data);
        counting = false;
        busiest = std::max(busiest, h.pool->activeVoices);
    }
    EXPECT_EQ(busiest, 128); // the pool was full, and note-ons were dropped
    return allocations.load();
}

TEST(ProcessAllocation, NoHeapAllocationInsideProcess)
{
    // The counter itself works.
    counting = true;
    void* volatile probe = ::operator new(16);
    counting = false;
    ::operator delete(probe);
    ASSERT_EQ(allocations.load(), 1);

    EXPECT_EQ(allocationsWhilePlaying<float>(), 0);
    EXPECT_EQ(allocationsWhilePlaying<double>(), 0);
}

} // namespace
} // namespace Taviro::Test
