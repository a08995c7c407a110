#pragma once

#include <atomic>

namespace Taviro::Test {

// A program built with AllocationCounter.cpp sends every heap allocation, the loaded bundle's too,
// through that file's operator new, which counts it in `allocations` while `counting` is set and
// `countedHere` (when set) says yes on the allocating thread.
extern std::atomic<bool> counting;
extern std::atomic<long> allocations;
extern std::atomic<bool (*)()> countedHere;

} // namespace Taviro::Test
