#pragma once

#include <atomic>
#include <cstddef>
#include <type_traits>
#include <vector>

namespace Taviro::Play {

// A fixed-capacity queue between exactly one producer thread and one consumer thread, without
// locks: each side owns one index and publishes it with release ordering. The storage is taken at
// construction; a push into a full queue is refused, never allocated.
template <typename T>
class SpscQueue
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // Holds `capacity` items (rounded up to a power of two).
    explicit SpscQueue(std::size_t capacity) : slots(roundUp(capacity + 1)), mask(slots.size() - 1) {}

    bool push(const T& item)
    {
        const std::size_t tail = writeIndex.load(std::memory_order_relaxed);
        const std::size_t next = (tail + 1) & mask;
        if (next == readIndex.load(std::memory_order_acquire))
            return false;
        slots[tail] = item;
        writeIndex.store(next, std::memory_order_release);
        return true;
    }

    bool pop(T& item)
    {
        const std::size_t head = readIndex.load(std::memory_order_relaxed);
        if (head == writeIndex.load(std::memory_order_acquire))
            return false;
        item = slots[head];
        readIndex.store((head + 1) & mask, std::memory_order_release);
        return true;
    }

private:
    static std::size_t roundUp(std::size_t n)
    {
        std::size_t size = 2;
        while (size < n)
            size *= 2;
        return size;
    }

    std::vector<T> slots;
    std::size_t mask;
    // Apart, so that the two threads do not share a cache line for their indices.
    alignas(64) std::atomic<std::size_t> writeIndex{0};
    alignas(64) std::atomic<std::size_t> readIndex{0};
};

} // namespace Taviro::Play
