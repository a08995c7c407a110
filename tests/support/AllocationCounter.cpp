#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace Taviro::Test {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::atomic<bool (*)()> countedHere{nullptr};

} // namespace Taviro::Test

using namespace Taviro::Test;

// malloc and free pair up on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (counting.load(std::memory_order_acquire))
    {
        bool (*here)() = countedHere.load(std::memory_order_relaxed);
        if (!here || here())
            allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size)
{
    if (void* p = operator new(size, std::nothrow))
        return p;
    throw std::bad_alloc();
}
// A sanitizer brings every form of its own; here all of them go through the two above.
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size, std::nothrow);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
